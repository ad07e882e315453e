#include "document/Composite.h"

#include <gtest/gtest.h>

#include "FakeImageFiles.h"
#include "document/Contrast.h"
#include "document/ImageSet.h"
#include "document/InterleaveBgr.h"
#include "document/MapSamples.h"
#include "foundation/CpuLevel.h"

namespace orbelin {
namespace {

using test::TFakeImage;

// One frame of 8-bit channels, opened with the contrast on "Full range" so
// that every sample maps to itself; every slot starts empty.
struct Composite : ::testing::Test {
  test::TFakeImageFiles files;
  TImageSet set{files.Formats()};
  TBgrImage image;

  void Open(const std::vector<TWordDynArray>& planes, int32_t width = 2, int32_t height = 1) {
    TFakeImage fake;
    fake.Width = width;
    fake.Height = height;
    fake.BitsPerSample = 8;
    fake.ChannelNames.assign(planes.size(), "");
    fake.Planes = {planes};
    set.OpenFiles({files.AddReaderFile("frame.czi", fake)});
    set.SetContrast(kFullRangeContrast);
    for (int s = 0; s < kColorSlotCount; ++s) set.SetSlotChannel(static_cast<TColorSlot>(s), -1);
  }

  // The pixel at x as blue, green, red.
  std::array<int, 3> Pixel(int x) const {
    const uint8_t* p = image.Pixels.data() + 3 * x;
    return {p[0], p[1], p[2]};
  }
};

TEST_F(Composite, EachComponentIsTheMaximumOfTheSlotsFeedingIt) {
  Open({{10, 200}, {100, 20}, {50, 60}});
  EXPECT_TRUE(ComposeFrame(set, image).Drawn);
  EXPECT_EQ(image.Width, 2);
  EXPECT_EQ(image.Pixels, std::vector<uint8_t>(6, 0));  // no slot: black

  set.SetSlotChannel(csGreen, 0);
  set.SetSlotChannel(csYellow, 1);
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0), (std::array<int, 3>{0, 100, 100}));
  EXPECT_EQ(Pixel(1), (std::array<int, 3>{0, 200, 20}));

  set.SetSlotChannel(csGray, 2);
  set.SetSlotChannel(csMagenta, 0);
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0), (std::array<int, 3>{50, 100, 100}));
  EXPECT_EQ(Pixel(1), (std::array<int, 3>{200, 200, 200}));

  set.SetSlotVisible(csMagenta, false);
  set.SetSlotVisible(csYellow, false);
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(1), (std::array<int, 3>{60, 200, 60}));
}

TEST_F(Composite, ForceGrayOnlyWithASingleVisibleSlot) {
  Open({{10, 200}, {100, 20}});
  set.SetSlotChannel(csRed, 0);
  set.SetSlotChannel(csGreen, 1);
  EXPECT_FALSE(set.SetForceGray(true));  // two slots: nothing to redraw
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0), (std::array<int, 3>{0, 100, 10}));

  EXPECT_FALSE(set.SetSlotVisible(csCyan, false));  // an empty slot: nothing to redraw
  EXPECT_TRUE(set.SetSlotVisible(csGreen, false));
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0), (std::array<int, 3>{10, 10, 10}));
  EXPECT_EQ(Pixel(1), (std::array<int, 3>{200, 200, 200}));
  EXPECT_TRUE(set.SetForceGray(false));
}

TEST_F(Composite, LookupTableAndFullRangeMapping) {
  Open({{0, 4095}, {5000, 2048}, {15, 25}});
  set.SetSlotChannel(csRed, 0);
  set.SetSlotChannel(csGreen, 1);
  set.SetSlotChannel(csBlue, 2);
  set.Channels()[2].Lut = BuildLut(10, 20, 1);
  // 8 significant bits from the reader; 12 bits map 0 .. 4095 onto 0 .. 255.
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0)[2], 0);
  EXPECT_EQ(Pixel(1)[2], 255);
  EXPECT_EQ(Pixel(0)[0], 128);  // 15 through the table: Round(127.5) = 128
  EXPECT_EQ(Pixel(1)[0], 255);

  TChannelData data;
  EXPECT_EQ(AutomaticDisplayRange(data, 1, -0.001, 12).High, 4095);
  EXPECT_EQ(AutomaticDisplayRange(data, 1, -0.001, 16).High, 65535);
  TByteDynArray lut;
  FillRangeLut({0, 4095}, lut);
  EXPECT_EQ(lut[2048], 2048 * 255 / 4095);
  EXPECT_EQ(lut[5000], 255);
}

TEST_F(Composite, WideRowsMatchAPerPixelMaximum) {
  // Rows longer than the kernel's blocks and not a multiple of its steps; the
  // slots mix one-component and several-component sources, first and later.
  // Plain loops with tables (level 3), then this processor's own paths.
  constexpr int32_t width = 600, height = 3;
  std::vector<TWordDynArray> planes(4, TWordDynArray(width * height));
  for (size_t c = 0; c < planes.size(); ++c)
    for (size_t i = 0; i < planes[c].size(); ++i) planes[c][i] = static_cast<uint16_t>((i * (31 + 2 * c) + 7 * c) % 256);
  Open(planes, width, height);
  const std::pair<TColorSlot, int32_t> slots[] = {{csMagenta, 0}, {csRed, 1}, {csGreen, 2}, {csCyan, 3}};
  for (const auto& [slot, channel] : slots) set.SetSlotChannel(slot, channel);
  for (int level : {3, -1}) {
    SetInstructionSetLevelOverride(level);
    ComposeFrame(set, image);
    SetInstructionSetLevelOverride(-1);
    ASSERT_EQ(image.Pixels.size(), size_t{width * height * 3});
    for (size_t i = 0; i < planes[0].size(); ++i) {
      const int blue = std::max(planes[0][i], planes[3][i]);
      const int green = std::max(planes[2][i], planes[3][i]);
      const int red = std::max(planes[0][i], planes[1][i]);
      ASSERT_EQ(Pixel(static_cast<int>(i)), (std::array<int, 3>{blue, green, red})) << i << " level " << level;
    }
  }
}

TEST(AutomaticDisplayRange, ContrastCutOffsOnAKnownHistogram) {
  // 100 × 100 distinct samples 0 .. 9999.
  TChannelData data;
  for (uint32_t v = 0; v < 10000; ++v) data.Histogram[v] = 1;
  struct TCase {
    double contrast;
    uint16_t low;
    uint16_t high;
  } cases[] = {
      {0.001, 149, 9990},   // 10 at the top, Round(10000 × 0.001 × 15) = 150 at the bottom
      {0.0099, 1484, 9901},  // k = 15 below 0.01
      {0.01, 999, 9900},    // k = 10 from 0.01
      {0.0999, 9989, 9001},  // k = 10 below 0.1
      {0.1, 5999, 9000},    // k = 6 from 0.1
  };
  for (const auto& c : cases) {
    const TDisplayRange range = AutomaticDisplayRange(data, 10000, c.contrast, 16);
    EXPECT_EQ(range.Low, c.low) << c.contrast;
    EXPECT_EQ(range.High, c.high) << c.contrast;
  }
  data.Background = 3000;
  EXPECT_EQ(AutomaticDisplayRange(data, 10000, 0.01, 16).Low, 3000);
  data.Background = 500;
  EXPECT_EQ(AutomaticDisplayRange(data, 10000, 0.01, 16).Low, 999);
}

TEST_F(Composite, ConstantPlanesAndEmptyRangesDoNotDivideByZero) {
  Open({{500, 500}});
  set.SetContrast(0.01);
  set.SetSlotChannel(csGreen, 0);
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0)[1], 127);  // range 499 .. 501

  // The background raised to the top: low = high, a range of one.
  set.Frames()[0].ChannelData[0].Background = 501;
  ComposeFrame(set, image);
  EXPECT_EQ(Pixel(0)[1], 0);
  TByteDynArray lut;
  FillRangeLut({500, 500}, lut);
  EXPECT_EQ(lut[500], 0);
  EXPECT_EQ(lut[501], 255);
}

TEST_F(Composite, MaskModeDrawsDetectedBitsOfChannelsWithMasks) {
  Open({TWordDynArray(17 * 2, 9), TWordDynArray(17 * 2, 9)}, 17, 2);
  set.SetSlotChannel(csRed, 0);
  set.SetSlotChannel(csGreen, 1);
  EXPECT_TRUE(set.SetShowMask(true));
  TCompositeResult result = ComposeFrame(set, image);
  EXPECT_TRUE(result.NoCellsToShow);
  EXPECT_EQ(image.Pixels, std::vector<uint8_t>(17 * 2 * 3, 0));

  // Two words per row: bit 0 of word 1 is pixel 16.
  set.Frames()[0].AddCell(std::make_unique<test::TPlainCell>());
  set.Frames()[0].ChannelData[0].MaskPlane = {0b101, 0, 0, 1};
  result = ComposeFrame(set, image);
  EXPECT_FALSE(result.NoCellsToShow);
  auto at = [&](int x, int y) { return Pixel(y * 17 + x); };
  EXPECT_EQ(at(0, 0), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(at(1, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(at(2, 0), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(at(16, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(at(16, 1), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(EffectiveSlotChannels(set)[csGreen], -1);  // no mask: not drawn
}

TEST(BuildLut, RangesAndGamma) {
  const TByteDynArray linear = BuildLut(100, 200, 1);
  EXPECT_EQ(linear.size(), 65536u);
  EXPECT_EQ(linear[100], 0);
  EXPECT_EQ(linear[150], 128);  // Round(127.5), halves to even
  EXPECT_EQ(linear[199], 252);
  EXPECT_EQ(linear[200], 255);
  EXPECT_EQ(BuildLut(100, 200, 2)[125], 128);  // 255 × 0.25^(1/2) = 127.5
  const TByteDynArray step = BuildLut(7, 8, 1);
  EXPECT_EQ(step[7], 0);
  EXPECT_EQ(step[8], 255);
}

TEST(ContrastItems, NearestItemIsMarked) {
  struct TCase {
    double contrast;
    int32_t tag;
  } cases[] = {{-0.001, -1}, {0, 0}, {0.01, 100}, {0.999, 1000}, {0.0012, 10}, {0.07, 500}};
  for (const auto& c : cases)
    EXPECT_EQ(kContrastItemTags[static_cast<size_t>(NearestContrastItem(c.contrast))], c.tag) << c.contrast;
}

}  // namespace
}  // namespace orbelin

namespace orbelin {
namespace {

TEST(MapSamples, VectorPathEqualsThePlainLoop) {
  // Every byte of the table distinct from its neighbours, so a gather that kept
  // the wrong byte or put lanes out of order shows; samples reach both ends.
  TByteDynArray table(65536 + kMapTablePadding, 0xEE);
  for (size_t v = 0; v < 65536; ++v) table[v] = static_cast<uint8_t>(v * 7 + (v >> 8));
  std::vector<uint16_t> samples(100);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint16_t>(i * 40503u + (i % 3 == 0 ? 65535 : 0));
  samples[5] = 0;
  samples[20] = 65535;
  for (size_t width : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 47u, 100u}) {
    std::vector<uint8_t> expected(width + 8, 0xAB), actual(width + 8, 0xAB);
    MapSamplesPlain(samples.data(), table.data(), width, expected.data());
    MapSamples(samples.data(), table.data(), width, actual.data());
    EXPECT_EQ(actual, expected) << width;
  }
}

TEST(MapRangeSamples, EqualsTheRangeTableOnEverySample) {
  // Both paths against FillRangeLut's table over all 65536 samples (plus an
  // odd tail), for ordinary, one-wide, empty, inverted and full ranges.
  std::vector<uint16_t> samples(65536 + 5);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint16_t>(i * 3);
  const TDisplayRange ranges[] = {{100, 4100}, {500, 501}, {500, 500}, {900, 20}, {0, 65535}, {0, 1}, {65534, 65535},
                                  {65535, 65535}, {1, 65534}, {0, 0}};
  for (const TDisplayRange& range : ranges) {
    TByteDynArray table;
    FillRangeLut(range, table);
    std::vector<uint8_t> expected(samples.size()), plain(samples.size()), vector(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) expected[i] = table[samples[i]];
    const TRangeMapping mapping = RangeMappingOf(range.Low, range.High);
    MapRangeSamplesPlain(samples.data(), mapping, samples.size(), plain.data());
    MapRangeSamples(samples.data(), mapping, samples.size(), vector.data());
    EXPECT_EQ(plain, expected) << range.Low << " " << range.High;
    EXPECT_EQ(vector, expected) << range.Low << " " << range.High;
  }
}

TEST(InterleaveBgr, VectorPathEqualsThePlainLoop) {
  // Widths around the 16-pixel step, with output guards to catch stray writes.
  for (size_t width : {0u, 1u, 15u, 16u, 17u, 33u, 47u, 64u, 100u}) {
    std::vector<uint8_t> components(3 * width);
    for (size_t i = 0; i < components.size(); ++i) components[i] = static_cast<uint8_t>(i * 37 + 11);
    const uint8_t* blue = components.data();
    std::vector<uint8_t> expected(3 * width + 8, 0xAB), actual(3 * width + 8, 0xAB);
    InterleaveBgrPlain(blue, blue + width, blue + 2 * width, width, expected.data());
    InterleaveBgr(blue, blue + width, blue + 2 * width, width, actual.data());
    EXPECT_EQ(actual, expected) << width;
    if (width > 0) {
      EXPECT_EQ(expected[3 * width - 1], blue[3 * width - 1]);  // last red byte
    }
  }
}

}  // namespace
}  // namespace orbelin
