#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"
#include "numeric/ForcedLevel.h"

namespace orbelin {
namespace {

using test::ForceableLevels;
using test::ForcedLevel;

struct NarrowCase {
  const char* what;
  int mode;
  std::vector<uint32_t> src;
  std::vector<uint16_t> expected;
};

TEST(NarrowTo16, ConvertsByModeOnEveryPath) {
  const NarrowCase cases[] = {
      {"low 16 bits", 1, {0, 65535, 65536, 0x12345, 70000}, {0, 65535, 0, 0x2345, 4464}},
      {"saturated", 2, {0, 3, 65535, 65536, 4294967295u}, {0, 3, 65535, 65535, 65535}},
      {"scaled, rounding half up", 3, {0, 1, 2, 300}, {0, 218, 437, 65535}},
      {"scaled, exact half", 3, {128, 256}, {32768, 65535}},
      {"scaled, small values unchanged", 3, {0, 7, 255}, {0, 7, 255}},
      {"scaled, full 32-bit range", 3,
       {0, 2147483647u, 2147483648u, 4294967295u}, {0, 32767, 32768, 65535}},
      // A whole quotient, which a reciprocal-based division would miss by one.
      {"scaled, whole quotients", 3, std::vector<uint32_t>(20, 403124108u), std::vector<uint16_t>(20, 65535)},
      {"stretched", 4, {100, 200, 300}, {0, 32768, 65535}},
      {"stretched from zero is scaled", 4, {0, 1, 2, 300}, {0, 218, 437, 65535}},
      {"stretched, one value", 4, {1000, 1000, 1000}, {65535, 65535, 65535}},
      {"stretched, small values unchanged", 4, {5, 200}, {5, 200}},
      {"stretched, one small value unchanged", 4, {9, 9}, {9, 9}},
  };
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    for (const NarrowCase& c : cases) {
      std::vector<uint16_t> dest(c.src.size(), 0xBEEF);
      NarrowTo16(c.src.data(), dest.data(), c.src.size(), c.mode);
      EXPECT_EQ(dest, c.expected) << c.what << " at level " << level;
    }
  }
}

TEST(NarrowTo16, WorksInPlaceAndLeavesTheRestAlone) {
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    for (int mode = 1; mode <= 4; ++mode) {
      // 37 samples: several vectors of every width plus a tail.
      std::vector<uint32_t> buffer(37);
      for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint32_t>(1000 + i * 7919);
      std::vector<uint16_t> expected(buffer.size());
      NarrowTo16(buffer.data(), expected.data(), buffer.size(), mode);

      NarrowTo16(buffer.data(), reinterpret_cast<uint16_t*>(buffer.data()), buffer.size(), mode);
      std::vector<uint16_t> inPlace(buffer.size());
      std::memcpy(inPlace.data(), buffer.data(), inPlace.size() * sizeof(uint16_t));
      EXPECT_EQ(inPlace, expected) << "mode " << mode << " at level " << level;
      // The upper half of the buffer still holds the source.
      EXPECT_EQ(buffer.back(), 1000u + 36u * 7919u);
    }
  }
}

TEST(NarrowTo16, EmptyInputAndUnknownMode) {
  uint16_t untouched = 42;
  const uint32_t one = 7;
  NarrowTo16(&one, &untouched, 0, 4);
  EXPECT_EQ(untouched, 42);
  EXPECT_THROW(NarrowTo16(&one, &untouched, 1, 0), EArgumentOutOfRange);
  EXPECT_THROW(NarrowTo16(&one, &untouched, 1, 5), EArgumentOutOfRange);
  EXPECT_EQ(untouched, 42);
}

TEST(ArrayOps, ElementWiseResultsOnEveryPath) {
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    SCOPED_TRACE(level);
    // 17 elements: one 16-word vector plus a tail of one, or two 8-word vectors plus one.
    TWordDynArray samples(17, 99);
    samples[15] = 100;
    samples[16] = 65535;
    TWordDynArray mask;
    ThresholdAbove(mask, samples, 99);
    TWordDynArray expected(17, 0);
    expected[15] = expected[16] = 65535;
    EXPECT_EQ(mask, expected);

    TWordDynArray a(17, 5), b(17, 7);
    a[16] = 7;
    b[16] = 5;
    TWordDynArray diff = a;
    SubtractSat(diff, b);  // 5 - 7 and 7 - 5
    EXPECT_EQ(diff[0], 0);
    EXPECT_EQ(diff[16], 2);
    diff = a;
    SubtractFromSat(diff, b);
    EXPECT_EQ(diff[0], 2);
    EXPECT_EQ(diff[16], 0);

    TWordDynArray low = a, high = a;
    MinInPlace(low, b);
    MaxInPlace(high, b);
    EXPECT_EQ(low, TWordDynArray(17, 5));
    EXPECT_EQ(high, TWordDynArray(17, 7));

    TWordDynArray flags = {0, 1, 65535, 0, 40000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    TWordDynArray booleans;
    BoolOf(booleans, flags);
    Normalize(flags);
    EXPECT_EQ(booleans, flags);
    EXPECT_EQ(flags, (TWordDynArray{0, 65535, 65535, 0, 65535, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 65535}));
  }
}

TEST(ArrayOps, QueriesAndTheirEmptyResults) {
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    SCOPED_TRACE(level);
    EXPECT_FALSE(Equal(TWordDynArray{}, TWordDynArray{0}));
    EXPECT_TRUE(Equal(TWordDynArray{}, TWordDynArray{}));
    TWordDynArray a(40, 3), b(40, 3);
    EXPECT_TRUE(Equal(a, b));
    b[39] = 4;
    EXPECT_FALSE(Equal(a, b));
    EXPECT_EQ(CountEqual(b, 3), 39);
    EXPECT_EQ(CountEqual(TWordDynArray{}, 0), 0);
    EXPECT_EQ(MaxWord(b), 4);
    EXPECT_EQ(MaxWord(TWordDynArray{}), 0);
    EXPECT_EQ(MaxInt(TIntegers{}), INT32_MIN);
    TIntegers ints(20, -7);
    ints[13] = -2;
    EXPECT_EQ(MaxInt(ints), -2);

    const uint32_t oneDifferent[] = {0, 3, 0, 0};
    EXPECT_EQ(FirstNotEqual(oneDifferent, 4, 0), 1);
    EXPECT_EQ(LastNotEqual(oneDifferent, 4, 0), 1);
    const uint32_t allZero[] = {0, 0, 0};
    EXPECT_EQ(FirstNotEqual(allZero, 3, 0), -1);
    EXPECT_EQ(LastNotEqual(allZero, 3, 0), -1);
    EXPECT_EQ(FirstNotEqual(oneDifferent, 0, 0), -1);
    EXPECT_EQ(LastNotEqual(oneDifferent, -1, 0), -1);
    EXPECT_EQ(Sum(oneDifferent, -5), 0u);
    EXPECT_EQ(WeightedSum(oneDifferent, 4, 10), 33u);  // 11 × 3

    // 65536 counts of the largest 32-bit value need a 64-bit total.
    const std::vector<uint32_t> counts(65536, 4294967295u);
    EXPECT_EQ(Sum(counts.data(), 65536), 281474976645120u);
  }
}

TEST(ArrayOps, DifferentSizesRaiseAndChangeNothing) {
  TWordDynArray a = {1, 2, 3}, b = {0, 0};
  const TWordDynArray before = a;
  const auto expectRefused = [&](auto operation) {
    try {
      operation(a, b);
      ADD_FAILURE() << "no exception";
    } catch (const EMathError& e) {
      EXPECT_STREQ(e.what(), "Arrays have different sizes.");
    }
    EXPECT_EQ(a, before);
  };
  expectRefused([](TWordDynArray& x, const TWordDynArray& y) { MinInPlace(x, y); });
  expectRefused([](TWordDynArray& x, const TWordDynArray& y) { MaxInPlace(x, y); });
  expectRefused([](TWordDynArray& x, const TWordDynArray& y) { SubtractSat(x, y); });
  expectRefused([](TWordDynArray& x, const TWordDynArray& y) { SubtractFromSat(x, y); });
}

TEST(ArrayOps, DestinationsTakeTheSourceLengthAndKeepStorageThatFits) {
  const TWordDynArray src = {0, 5, 0, 9};
  TWordDynArray dest(4, 1234);
  const uint16_t* storage = dest.data();
  BoolOf(dest, src);
  EXPECT_EQ(dest.data(), storage);
  EXPECT_EQ(dest, (TWordDynArray{0, 65535, 0, 65535}));
  ThresholdAbove(dest, src, 5);
  EXPECT_EQ(dest, (TWordDynArray{0, 0, 0, 65535}));
  AssignCopy(dest, src);
  EXPECT_EQ(dest.data(), storage);
  EXPECT_EQ(dest, src);

  TWordDynArray longer(10, 7);
  AssignCopy(longer, src);
  EXPECT_EQ(longer, src);
  TWordDynArray empty;
  BoolOf(empty, src);
  EXPECT_EQ(empty.size(), 4u);
}

TEST(ArrayOps, RowPitchedFillsAndCopies) {
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    // A 3 × 20 block inside rows of 23: the gap of 3 stays untouched.
    TWordDynArray grid(3 * 23, 1);
    FillBlock(grid.data(), 3, 20, 9, 3);
    for (size_t i = 0; i < grid.size(); ++i) EXPECT_EQ(grid[i], i % 23 < 20 ? 9 : 1) << i;
    // No gap: one run of rows × rowLength.
    TByteDynArray bytes(50, 0);
    FillBlock(bytes.data(), 2, 20, uint8_t{7}, 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 7), 40);
    EXPECT_EQ(bytes[40], 0);
  }
  // Rows of 2 from a pitch of 3 to a pitch of 4.
  const uint16_t src[] = {1, 2, 0, 3, 4, 0, 5, 6};
  uint16_t dest[12] = {};
  CopyBlock(dest, src, 3, 2, 1, 2);
  EXPECT_EQ(std::vector<uint16_t>(dest, dest + 12),
            (std::vector<uint16_t>{1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0}));
  // A row length of 1 picks single elements at the two pitches.
  const uint8_t column[] = {10, 0, 0, 20, 0, 0, 30};
  uint8_t picked[3] = {};
  CopyBlock(picked, column, 3, 1, 2, 0);
  EXPECT_EQ(std::vector<uint8_t>(picked, picked + 3), (std::vector<uint8_t>{10, 20, 30}));
}

TEST(ArrayOps, WidenBytesInPlaceAndHistogram) {
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    // 37 bytes widened inside their own buffer.
    TWordDynArray buffer(37, 0);
    auto* bytes = reinterpret_cast<uint8_t*>(buffer.data());
    for (uint8_t i = 0; i < 37; ++i) bytes[i] = static_cast<uint8_t>(200 + i);
    WidenBytes(bytes, buffer.data(), 37);
    for (uint16_t i = 0; i < 37; ++i) EXPECT_EQ(buffer[i], static_cast<uint8_t>(200 + i)) << i;
  }
  std::vector<uint32_t> counts(65536, 0);
  const uint16_t samples[] = {0, 65535, 7, 7, 65535, 7};
  AddToHistogram(counts.data(), samples, 6);
  EXPECT_EQ(counts[0], 1u);
  EXPECT_EQ(counts[7], 3u);
  EXPECT_EQ(counts[65535], 2u);
}

}  // namespace
}  // namespace orbelin
