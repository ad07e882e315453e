#include <gtest/gtest.h>

#include <cstring>

#include "foundation/CpuLevel.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"

namespace orbelin {
namespace {

// Forced instruction-set levels: plain loops, 128-bit and 256-bit paths.
constexpr int kLevels[] = {3, 4, 12};

class ForcedLevel {
public:
  explicit ForcedLevel(int level) { SetInstructionSetLevelOverride(level); }
  ~ForcedLevel() { SetInstructionSetLevelOverride(-1); }
};

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
      {"stretched", 4, {100, 200, 300}, {0, 32768, 65535}},
      {"stretched from zero is scaled", 4, {0, 1, 2, 300}, {0, 218, 437, 65535}},
      {"stretched, one value", 4, {1000, 1000, 1000}, {65535, 65535, 65535}},
      {"stretched, small values unchanged", 4, {5, 200}, {5, 200}},
      {"stretched, one small value unchanged", 4, {9, 9}, {9, 9}},
  };
  for (int level : kLevels) {
    ForcedLevel forced(level);
    for (const NarrowCase& c : cases) {
      std::vector<uint16_t> dest(c.src.size(), 0xBEEF);
      NarrowTo16(c.src.data(), dest.data(), c.src.size(), c.mode);
      EXPECT_EQ(dest, c.expected) << c.what << " at level " << level;
    }
  }
}

TEST(NarrowTo16, WorksInPlaceAndLeavesTheRestAlone) {
  for (int level : kLevels) {
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

}  // namespace
}  // namespace orbelin
