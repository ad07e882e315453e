#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "fixtures/TiffWriter.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"

namespace orbelin {
namespace {

using fixtures::TTiffOptions;
using fixtures::WriteTiff;
using TPlanes = std::vector<std::vector<uint32_t>>;

struct TResult {
  bool ok = false;
  TWordDynArray plane;
  int width = -1;
  int height = -1;
  int planeCount = -1;
  double pixelSize = -1;
};

TResult Read(const std::vector<uint8_t>& file, int index) {
  TMemoryStream stream(file);
  TResult result;
  result.plane.assign(3, 1);  // must be emptied by every call
  result.ok = ReadTiffPlane(stream, index, result.plane, result.width, result.height, result.planeCount,
                            result.pixelSize);
  return result;
}

// width × height values holding both 0 and 65535, no two neighbours equal.
std::vector<uint32_t> Pattern(uint32_t width, uint32_t height) {
  std::vector<uint32_t> values(size_t{width} * height);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint32_t>((i * 40503u + 977u * (i % 3)) % 65536u);
  values.front() = 0;
  values.back() = 65535;
  return values;
}

std::vector<uint32_t> Map(std::vector<uint32_t> values, uint32_t (*f)(uint32_t)) {
  for (auto& v : values) v = f(v);
  return values;
}

TWordDynArray Words(const std::vector<uint32_t>& values) { return TWordDynArray(values.begin(), values.end()); }

// 16-bit values as a file of the given sample size holds them: bytes keep the low 8 bits, and
// 32-bit samples are offset so that their range is exactly 65535 wide and stretches back.
std::vector<uint32_t> Stored(const std::vector<uint32_t>& values, unsigned bits) {
  if (bits == 8) return Map(values, [](uint32_t v) { return v & 0xFFu; });
  if (bits == 32) return Map(values, [](uint32_t v) { return v + 70000u; });
  return values;
}

TWordDynArray Expected(const std::vector<uint32_t>& values, unsigned bits) {
  return Words(bits == 8 ? Stored(values, 8) : values);
}

struct TLayoutCase {
  const char* name;
  TTiffOptions options;
};

TEST(TiffReader, EveryLayoutAndSampleSizeDeliversTheSamplesInBothByteOrders) {
  constexpr uint32_t width = 7, height = 5;
  const std::vector<uint32_t> expected16 = Pattern(width, height);
  const TLayoutCase layouts[] = {
      {"one strip", {}},
      {"strips of 2 rows", {.rowsPerStrip = 2}},
      {"strips stored backwards", {.rowsPerStrip = 2, .reverseStrips = true}},
      {"two strips in SHORT entries", {.rowsPerStrip = 3, .shortStripTags = true}},
      {"4 x 2 tiles with partial edges", {.tileWidth = 4, .tileLength = 2}},
      {"one tile larger than the image", {.tileWidth = 16, .tileLength = 16}},
  };
  for (const auto& layout : layouts) {
    for (bool bigEndian : {false, true}) {
      for (unsigned bits : {8u, 16u, 32u}) {
        SCOPED_TRACE(testing::Message() << layout.name << (bigEndian ? ", big-endian, " : ", little-endian, ") << bits);
        TTiffOptions options = layout.options;
        options.bigEndian = bigEndian;
        options.bitsPerSample = bits;
        const TResult result = Read(WriteTiff(options, width, height, {Stored(expected16, bits)}), 0);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.width, 7);
        EXPECT_EQ(result.height, 5);
        EXPECT_EQ(result.planeCount, 1);
        EXPECT_EQ(result.plane, Expected(expected16, bits));
      }
    }
  }
}

TEST(TiffReader, MultiPageStackReadsEachDirectoryAndDescribesWithoutReading) {
  const TPlanes planes = {{1, 2, 3, 4, 5, 6}, {100, 200, 300, 400, 500, 600}, {65535, 0, 7, 8, 9, 10}};
  const auto file = WriteTiff({.bigEndian = true}, 3, 2, planes);
  for (int index = 0; index < 3; ++index) {
    const TResult result = Read(file, index);
    ASSERT_TRUE(result.ok) << index;
    EXPECT_EQ(result.plane, Words(planes[static_cast<size_t>(index)]));
    EXPECT_EQ(result.planeCount, 3);
  }
  const TResult described = Read(file, -1);
  EXPECT_TRUE(described.ok);
  EXPECT_TRUE(described.plane.empty());
  EXPECT_EQ(described.planeCount, 3);
  EXPECT_FALSE(Read(file, 3).ok);

  TMemoryStream stream(file);
  stream.Seek(5);
  TWordDynArray plane;
  int w, h, count;
  double size;
  ASSERT_TRUE(ReadTiffPlane(stream, 1, plane, w, h, count, size));
  EXPECT_EQ(stream.Position(), 5);
}

TEST(TiffReader, PagesThatDifferFromTheFirstAreNotRead) {
  // A smaller second page (a thumbnail, say) would not fit the caller's width × height.
  const TPlanes planes = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  const auto smaller = WriteTiff({.lastDirectoryTags = {fixtures::LongTag(256, {2}), fixtures::LongTag(257, {1})}}, 3,
                                 2, planes);
  const auto compressed = WriteTiff({.lastDirectoryTags = {fixtures::ShortTag(259, {5})}}, 3, 2, planes);
  for (const auto& file : {smaller, compressed}) {
    EXPECT_EQ(Read(file, 0).plane, Words(planes[0]));
    const TResult second = Read(file, 1);
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.planeCount, 2);
  }
}

TEST(TiffReader, MetaMorphStackReadsPlaneKAfterTheFirst) {
  constexpr uint32_t width = 8, height = 4;
  // Every plane holds 0 and 65535, each at its own place.
  TPlanes patterns(25, Pattern(width, height));
  for (size_t k = 0; k < patterns.size(); ++k)
    std::rotate(patterns[k].begin(), patterns[k].begin() + static_cast<ptrdiff_t>(k), patterns[k].end());
  for (bool bigEndian : {false, true}) {
    for (uint32_t rowsPerStrip : {0u, 1u}) {
      for (unsigned bits : {8u, 16u, 32u}) {
        SCOPED_TRACE(testing::Message() << (bigEndian ? "big-endian" : "little-endian") << ", rows per strip "
                                        << rowsPerStrip << ", " << bits << " bits");
        TPlanes stored;
        for (const auto& pattern : patterns) stored.push_back(Stored(pattern, bits));
        const auto file = WriteTiff(
            {.bigEndian = bigEndian, .bitsPerSample = bits, .rowsPerStrip = rowsPerStrip, .stk = true}, width, height,
            stored);
        const TResult third = Read(file, 3);
        ASSERT_TRUE(third.ok);
        EXPECT_EQ(third.planeCount, 25);
        EXPECT_EQ(third.plane, Expected(patterns[3], bits));
        EXPECT_EQ(Read(file, 24).plane, Expected(patterns[24], bits));
        EXPECT_FALSE(Read(file, 25).ok);
      }
    }
  }
  // A count beyond the planes present reads what the file holds, and zeros past its end.
  const auto declaredMore = WriteTiff({.stk = true, .stkDeclaredPlanes = 200}, width, height, {patterns[0], patterns[1]});
  const TResult beyond = Read(declaredMore, 199);
  ASSERT_TRUE(beyond.ok);
  EXPECT_EQ(beyond.plane, TWordDynArray(width * height, 0));
  EXPECT_EQ(Read(declaredMore, 1).plane, Words(patterns[1]));
}

TEST(TiffReader, DeclinesFilesThatAreNotPlainGreyTiff) {
  const auto good = WriteTiff({}, 2, 2, {{1, 2, 3, 4}});
  auto tooShort = good;
  tooShort.resize(9);
  auto bigTiff = good;
  bigTiff[2] = 43;
  auto badMark = good;
  badMark[0] = badMark[1] = 'X';
  auto noDirectory = good;
  std::fill(noDirectory.begin() + 4, noDirectory.begin() + 8, uint8_t{0});
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"fewer than 10 bytes", tooShort},
      {"version 43", bigTiff},
      {"byte-order word XX", badMark},
      {"no directory", noDirectory},
      {"RGB", WriteTiff({.extraTags = {fixtures::ShortTag(262, {2})}}, 2, 2, {{1, 2, 3, 4}})},
      {"LZW", WriteTiff({.extraTags = {fixtures::ShortTag(259, {5})}}, 2, 2, {{1, 2, 3, 4}})},
      {"LSM", WriteTiff({.extraTags = {fixtures::LongTag(34412, {0})}}, 2, 2, {{1, 2, 3, 4}})},
      {"12-bit samples", WriteTiff({.extraTags = {fixtures::ShortTag(258, {12})}}, 2, 2, {{1, 2, 3, 4}})},
      {"24-bit samples", WriteTiff({.bitsPerSample = 24}, 2, 2, {{1, 2, 3, 4}})},
  };
  EXPECT_TRUE(Read(good, 0).ok);
  for (const auto& [name, file] : cases) {
    const TResult result = Read(file, 0);
    EXPECT_FALSE(result.ok) << name;
    EXPECT_TRUE(result.plane.empty()) << name;
  }
  // Declined before the size is known: the out-parameters stay as they were.
  EXPECT_EQ(Read(cases[5].second, -1).width, -1);
}

TEST(TiffReader, DataOutsideTheFileIsRefusedWithoutLargeAllocations) {
  const TPlanes plane = {{1, 2, 3, 4, 5, 6}};
  // Stands for "4 bytes before the end of this file".
  constexpr uint32_t nearEnd = 0xFFFFFFFF;
  using fixtures::ForgedTag;
  const std::pair<const char*, TTiffOptions> cases[] = {
      {"strip partly beyond the end", {.extraTags = {ForgedTag(273, 4, 1, nearEnd)}}},
      {"strip far beyond the end", {.extraTags = {ForgedTag(273, 4, 1, 0x7FFFFFF0)}}},
      {"tile partly beyond the end", {.tileWidth = 4, .tileLength = 2, .extraTags = {ForgedTag(324, 4, 1, nearEnd)}}},
      {"text of 4 GB", {.extraTags = {ForgedTag(270, 2, 0xFFFFFFF0, 8)}}},
      {"a billion strip offsets", {.extraTags = {ForgedTag(273, 4, 0x40000000, 8)}}},
      {"UIC2 of a billion planes", {.stk = true, .extraTags = {ForgedTag(33629, 4, 0x40000000, 8)}}},
      {"plane of 4 G samples", {.extraTags = {ForgedTag(256, 4, 1, 0x10000), ForgedTag(257, 4, 1, 0x10000)}}},
      {"tiles of 4 G samples", {.tileWidth = 4, .tileLength = 2, .extraTags = {ForgedTag(322, 4, 1, 0x10000), ForgedTag(323, 4, 1, 0x10000)}}},
      {"tile width 0", {.tileWidth = 4, .tileLength = 2, .extraTags = {ForgedTag(322, 4, 1, 0)}}},
      {"too few tile offsets", {.tileWidth = 2, .tileLength = 2, .extraTags = {fixtures::LongTag(324, {8})}}},
      {"no strip byte counts", {.omitTags = {279}}},
  };
  for (const auto& [name, given] : cases) {
    TTiffOptions options = given;
    const auto size = static_cast<uint32_t>(WriteTiff(options, 3, 2, plane).size());
    for (auto& tag : options.extraTags)
      if (tag.slot == nearEnd) tag.slot = size - 4;
    const auto file = WriteTiff(options, 3, 2, plane);
    const TResult result = Read(file, 0);
    EXPECT_FALSE(result.ok) << name;
    EXPECT_TRUE(result.plane.empty()) << name;
  }
  // A directory whose entries run past the end of the file.
  auto cut = WriteTiff({}, 3, 2, plane);
  cut.resize(fixtures::FirstDirectoryOffset(cut) + 20);
  EXPECT_FALSE(Read(cut, -1).ok);
}

TEST(TiffReader, CorruptedFilesAreReadOrDeclinedButNeverMisread) {
  const std::vector<uint8_t> seeds[] = {
      WriteTiff({.rowsPerStrip = 2}, 7, 5, {Pattern(7, 5), Pattern(7, 5)}),
      WriteTiff({.bigEndian = true, .bitsPerSample = 8, .tileWidth = 4, .tileLength = 2}, 7, 5, {Pattern(7, 5)}),
      WriteTiff({.bigEndian = true, .bitsPerSample = 32, .stk = true}, 7, 5, {Pattern(7, 5), Pattern(7, 5)}),
  };
  std::mt19937 random(20261211);
  for (const auto& seed : seeds) {
    std::uniform_int_distribution<size_t> position(0, seed.size() - 1);
    for (int trial = 0; trial < 500; ++trial) {
      auto file = seed;
      for (int flips = 1 + trial % 4; flips > 0; --flips) file[position(random)] = static_cast<uint8_t>(random());
      for (int index : {-1, 0, 1}) {
        const TResult result = Read(file, index);
        if (!result.ok || index < 0) continue;
        ASSERT_GE(result.width, 0);
        ASSERT_GE(result.height, 0);
        EXPECT_EQ(result.plane.size(), static_cast<size_t>(result.width) * static_cast<size_t>(result.height));
      }
    }
  }
}

TEST(TiffReader, DirectoryChainStopsAtLoopsAndOffsetsOutsideTheFile) {
  const TPlanes planes = {{1, 2}, {3, 4}};
  const auto plain = WriteTiff({}, 2, 1, planes);
  const uint32_t first = fixtures::FirstDirectoryOffset(plain);
  for (uint32_t next : {first, 0xFFFFFF00u, static_cast<uint32_t>(plain.size())}) {
    const auto file = WriteTiff({.lastNextOffset = next}, 2, 1, planes);
    const TResult result = Read(file, 1);
    ASSERT_TRUE(result.ok) << next;
    EXPECT_EQ(result.planeCount, 2) << next;
    EXPECT_EQ(result.plane, Words(planes[1]));
  }
}

TEST(TiffReader, PixelSizeFollowsTheResolutionUnit) {
  using fixtures::RationalTag;
  using fixtures::ShortTag;
  struct TCase {
    const char* name;
    std::vector<fixtures::TTiffTag> tags;
    double micrometres;
  };
  const TCase cases[] = {
      {"2.54 per inch by default", {RationalTag(282, 254, 100)}, 10000},
      {"10000 per centimetre", {RationalTag(282, 10000, 1), ShortTag(296, {3})}, 1},
      {"YResolution when XResolution is absent", {RationalTag(283, 12700, 1), ShortTag(296, {2})}, 2},
      {"XResolution before YResolution", {RationalTag(282, 5000, 1), RationalTag(283, 1, 1), ShortTag(296, {3})}, 2},
      {"no resolution", {}, 0},
      {"zero denominator", {RationalTag(282, 5, 0)}, 0},
      {"unit none leaves it as it was", {RationalTag(282, 254, 100), ShortTag(296, {1})}, -1},
  };
  for (const auto& c : cases) {
    for (bool bigEndian : {false, true}) {
      const TResult result = Read(WriteTiff({.bigEndian = bigEndian, .extraTags = c.tags}, 2, 1, {{1, 2}}), -1);
      ASSERT_TRUE(result.ok) << c.name;
      EXPECT_DOUBLE_EQ(result.pixelSize, c.micrometres) << c.name;
    }
  }
}

TEST(TiffReader, WideAndSignedSamplesMapOntoSixteenBits) {
  using fixtures::ShortTag;
  const auto asBits = [](float v) { return std::bit_cast<uint32_t>(v); };
  const auto u16 = [](int v) { return static_cast<uint32_t>(static_cast<uint16_t>(v)); };
  const auto u8 = [](int v) { return static_cast<uint32_t>(static_cast<uint8_t>(v)); };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct TCase {
    const char* name;
    TTiffOptions options;
    std::vector<uint32_t> stored;
    TWordDynArray expected;
  };
  const TCase cases[] = {
      {"32-bit all equal", {.bitsPerSample = 32}, {70000, 70000, 70000, 70000}, {65535, 65535, 65535, 65535}},
      {"32-bit all below 256", {.bitsPerSample = 32}, {0, 17, 255, 3}, {0, 17, 255, 3}},
      {"signed 16-bit", {.bitsPerSample = 16, .extraTags = {ShortTag(339, {2})}},
       {u16(-32768), u16(-1), u16(0), u16(32767)}, {0, 32767, 32768, 65535}},
      {"signed 8-bit", {.bitsPerSample = 8, .extraTags = {ShortTag(339, {2})}},
       {u8(-128), u8(-1), u8(0), u8(127)}, {0, 127, 128, 255}},
      {"signed 32-bit", {.bitsPerSample = 32, .extraTags = {ShortTag(339, {2})}},
       {static_cast<uint32_t>(-1), 0, static_cast<uint32_t>(-1), 0}, {0, 65535, 0, 65535}},
      {"float", {.bitsPerSample = 32, .extraTags = {ShortTag(339, {3})}},
       {asBits(-1.0f), asBits(0.0f), asBits(1.0f), asBits(0.5f)}, {0, 32768, 65535, 49151}},
      {"float with NaN", {.bitsPerSample = 32, .extraTags = {ShortTag(339, {3})}},
       {asBits(nan), asBits(2.0f), asBits(4.0f), asBits(3.0f)}, {0, 0, 65535, 32768}},
  };
  for (const auto& c : cases) {
    for (bool bigEndian : {false, true}) {
      TTiffOptions options = c.options;
      options.bigEndian = bigEndian;
      const TResult result = Read(WriteTiff(options, 2, 2, {c.stored}), 0);
      ASSERT_TRUE(result.ok) << c.name;
      EXPECT_EQ(result.plane, c.expected) << c.name << (bigEndian ? " big-endian" : " little-endian");
    }
  }
}

}  // namespace
}  // namespace orbelin
