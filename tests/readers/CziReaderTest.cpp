// The CZI reader over small files written by the fixture writer: header
// checks, metadata, the subblock-to-image assignment and plane reading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "fixtures/CziWriter.h"
#include "foundation/Exceptions.h"
#include "foundation/Logger.h"
#include "readers/czi/ZeissCziReader.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

using test::CziMetadataXml;
using test::CziPlaneDimensions;
using test::TCziFileRecipe;
using test::TCziSubblockRecipe;

constexpr int kWidth = 6, kHeight = 4;

// Distinct 16-bit samples per plane so that a wrong plane is noticed.
std::vector<uint16_t> Ramp(int seed, int count = kWidth * kHeight) {
  std::vector<uint16_t> samples(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) samples[i] = static_cast<uint16_t>(seed * 1000 + i * 37 + 300);
  return samples;
}

TCziSubblockRecipe Gray16Plane(int channel, int plane, int seed, int compression = 0,
                             std::vector<uint8_t> stored = {}) {
  TCziSubblockRecipe block;
  block.PixelType = 1;
  block.Compression = compression;
  block.Dimensions = CziPlaneDimensions(kWidth, kHeight, {{'C', channel}, {'Z', plane}});
  block.Data = stored.empty() ? test::WordBytes(Ramp(seed)) : stored;
  return block;
}

class CziReader : public ::testing::Test {
protected:
  test::TempDir dir;

  std::string Write(const TCziFileRecipe& recipe, const std::string& name = "test.czi") {
    const std::string path = dir.File(name);
    test::WriteFile(path, test::BuildCzi(recipe).Bytes);
    return path;
  }

  std::string OpenError(const std::string& path) {
    TZeissCziReader reader;
    try {
      reader.Open(path);
    } catch (const ESciImageReaderError& error) {
      EXPECT_EQ(reader.LastError(), -10003);
      return error.what();
    }
    return "";
  }
};

const std::string kTwoChannels = CziMetadataXml(
    {{"SizeC", 2}, {"SizeZ", 2}},
    "<Channels><Channel Name=\"\"><Fluor>DAPI </Fluor><EmissionWavelength>461</EmissionWavelength>"
    "<Color>#FF0000FF</Color><PixelType>Gray16</PixelType><IlluminationType>Fluorescence</IlluminationType>"
    "</Channel><Channel Name=\" EGFP \"><EmissionWavelength>509.5</EmissionWavelength></Channel></Channels>"
    "<Z><Positions><Interval><Start>1.5</Start><Increment>0.25</Increment></Interval></Positions></Z>"
    "<T><Positions><Interval><Start>0</Start><Increment>30</Increment></Interval></Positions></T>",
    "<Distance Id=\"X\"><Value>6.5E-07</Value></Distance><Distance Id=\"Y\"><Value>7E-07</Value></Distance>");

TEST_F(CziReader, OpensAnUncompressedStackAndReadsEveryPlane) {
  TCziFileRecipe recipe;
  recipe.MetadataXml = kTwoChannels;
  for (int z = 0; z < 2; ++z)
    for (int c = 0; c < 2; ++c) recipe.Subblocks.push_back(Gray16Plane(c, z, z * 2 + c));
  const std::string path = Write(recipe);
  EXPECT_GT(TZeissCziReader::CanRead(path), 9000);

  TZeissCziReader reader;
  reader.Open(path);
  EXPECT_EQ(reader.ChannelCount(), 2);
  EXPECT_EQ(reader.PlaneCount(), 2);
  EXPECT_EQ(reader.Width(), kWidth);
  EXPECT_EQ(reader.Height(), kHeight);
  EXPECT_FLOAT_EQ(reader.PixelWidth(), 6.5e-7f);
  EXPECT_FLOAT_EQ(reader.ImageInfo().PixelHeight, 7e-7f);
  const auto& stack = reader.StackInfo();
  EXPECT_EQ(stack.LevelTypes, (TLevelTypes{dimChannel, dimPlane}));
  EXPECT_EQ(stack.Channels[0].Name, "DAPI");
  EXPECT_EQ(stack.Channels[0].Illumination, "Fluorescence");
  EXPECT_EQ(static_cast<uint32_t>(stack.Channels[0].Color), 0xFF0000FFu);
  EXPECT_EQ(stack.Channels[1].Name, "EGFP");
  EXPECT_FLOAT_EQ(stack.Channels[1].Wavelength, 509.5f);
  EXPECT_EQ(stack.PlanePositions, (std::vector<float>{1.5f, 1.75f}));
  EXPECT_FLOAT_EQ(stack.PlaneSpacing, 0.25f);
  EXPECT_DOUBLE_EQ(stack.TimeInterval, 30.0 / 86400);

  for (int z = 0; z < 2; ++z)
    for (int c = 0; c < 2; ++c) {
      reader.SetPlane(z);
      reader.SetChannel(c);
      TWordDynArray plane;
      ASSERT_TRUE(reader.ReadCurrentImage(plane));
      const std::vector<uint16_t> expected = Ramp(z * 2 + c);
      EXPECT_EQ(plane, TWordDynArray(expected.begin(), expected.end())) << "z " << z << " c " << c;
    }
  EXPECT_GE(reader.SubBlocks()[0].DataSize, 0);
}

TEST_F(CziReader, ReadsMetadataOfScenesTimeAndColourChannels) {
  TCziFileRecipe recipe;
  recipe.MetadataXml = CziMetadataXml(
      {{"SizeC", 2}, {"SizeS", 3}, {"SizeT", 3}},
      "<Channels><Channel Name=\"Widefield\"/><Channel Name=\"Brightfield \"><PixelType>bgr24</PixelType>"
      "</Channel></Channels>"
      "<S><Scenes><Scene Index=\"1\" Name=\"Well B2\"><CenterPosition>1234.5,678.25</CenterPosition></Scene>"
      "<Scene Index=\"2\"><CenterPosition>17</CenterPosition></Scene>"
      "<Scene Index=\"5\" Name=\"Far away\"><CenterPosition>1,2</CenterPosition></Scene></Scenes></S>"
      "<T><Positions><Interval><Start>0</Start><Increment>30</Increment></Interval></Positions></T>");
  TCziSubblockRecipe gray = Gray16Plane(0, 0, 1);
  gray.PixelType = 0;
  gray.Data.resize(kWidth * kHeight);
  TCziSubblockRecipe bgr;
  bgr.PixelType = 3;
  bgr.Dimensions = CziPlaneDimensions(kWidth, kHeight, {{'C', 1}});
  for (int i = 0; i < kWidth * kHeight; ++i) {
    bgr.Data.push_back(static_cast<uint8_t>(i));        // blue
    bgr.Data.push_back(static_cast<uint8_t>(100 + i));  // green
    bgr.Data.push_back(static_cast<uint8_t>(200 + i));  // red
  }
  recipe.Subblocks = {gray, bgr};
  TZeissCziReader reader;
  reader.Open(Write(recipe));

  const auto& stack = reader.StackInfo();
  ASSERT_EQ(reader.ChannelCount(), 4);
  const char* names[] = {"Widefield", "Brightfield - Blue", "Brightfield - Green", "Brightfield - Red"};
  const int32_t colours[] = {0, 0xFF0000, 0xFF00, 0xFF};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(stack.Channels[c].Name, names[c]);
    EXPECT_EQ(stack.Channels[c].Color, colours[c]);
  }
  EXPECT_FLOAT_EQ(stack.Channels[3].Wavelength, 680);
  EXPECT_EQ(stack.PositionNames.Values(), (std::vector<std::string>{"1", "Well B2", "3"}));
  EXPECT_EQ(stack.PositionXY[1], (TPointF{1234.5f, 678.25f}));
  EXPECT_EQ(stack.PositionXY[2], (TPointF{0, 0}));
  EXPECT_EQ(stack.TimeStamps, (std::vector<double>{0, 30.0 / 86400, 60.0 / 86400}));

  TWordDynArray plane;
  ASSERT_TRUE(reader.ReadImage(3, plane));  // red of the colour channel
  EXPECT_EQ(plane[0], 200);
  EXPECT_EQ(plane[5], 205);
  ASSERT_TRUE(reader.ReadImage(1, plane));  // blue
  EXPECT_EQ(plane[5], 5);
  // Scene 1 and time point 1 have no subblock.
  EXPECT_FALSE(reader.ReadImage(4, plane));
  EXPECT_FALSE(reader.ReadImage(4 * 3, plane));
}

TEST_F(CziReader, FullResolutionWinsOverAPyramidLevelInEitherOrder) {
  TCziSubblockRecipe full = Gray16Plane(0, 0, 1);
  TCziSubblockRecipe reduced;
  reduced.PyramidType = 1;
  reduced.Dimensions = {{'X', 0, kWidth, kWidth / 2}, {'Y', 0, kHeight, kHeight / 2}, {'C', 0, 1, 0}};
  reduced.Data = test::WordBytes(Ramp(9, kWidth * kHeight / 4));
  for (bool pyramidFirst : {true, false}) {
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = pyramidFirst ? std::vector{reduced, full} : std::vector{full, reduced};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    EXPECT_EQ(reader.Width(), kWidth);
    EXPECT_EQ(reader.ImageInfo().SourceEntry, pyramidFirst ? 1 : 0);
    TWordDynArray plane;
    ASSERT_TRUE(reader.ReadImage(0, plane));
    EXPECT_EQ(plane.size(), static_cast<size_t>(kWidth * kHeight));
    EXPECT_EQ(plane[1], Ramp(1)[1]);
  }
}

TEST_F(CziReader, DecodesCompressedSubblocksToTheSamePlane) {
  const std::vector<uint8_t> raw = test::WordBytes(Ramp(4));
  struct TCase {
    const char* what;
    int compression;
    std::vector<uint8_t> stored;
  };
  const TCase cases[] = {
      {"zstd frame", 5, test::CompressZstdFrame(raw)},
      {"zstd with 1-byte header", 6, test::CompressZstdWithHeader(raw, false)},
      {"zstd with hi-lo packing", 6, test::CompressZstdWithHeader(raw, true)},
      {"LZW", 2, test::CompressLzw(raw)},
  };
  for (const TCase& c : cases) {
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = {Gray16Plane(0, 0, 0, c.compression, c.stored)};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    TWordDynArray plane;
    ASSERT_TRUE(reader.ReadImage(0, plane)) << c.what;
    EXPECT_EQ(test::WordBytes(std::vector<uint16_t>(plane.begin(), plane.end())), raw) << c.what;
  }
}

TEST_F(CziReader, DecodesJpegSubblocksInGreyAndColour) {
  for (int components : {1, 3}) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        for (int k = 0; k < components; ++k) pixels.push_back(static_cast<uint8_t>(20 + 3 * x + 2 * y + 50 * k));
    TCziSubblockRecipe block;
    block.PixelType = components == 1 ? 0 : 3;
    block.Compression = 1;
    block.Dimensions = CziPlaneDimensions(16, 16, {{'C', 0}});
    block.Data = test::CompressJpeg(pixels, 16, 16, components);
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, components == 1 ? "" :
        "<Channels><Channel><PixelType>Bgr24</PixelType></Channel></Channels>");
    recipe.Subblocks = {block};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    ASSERT_EQ(reader.ChannelCount(), components);
    for (int k = 0; k < components; ++k) {
      TWordDynArray plane;
      ASSERT_TRUE(reader.ReadImage(k, plane));
      ASSERT_EQ(plane.size(), 256u);
      int worst = 0;
      for (int i = 0; i < 256; ++i) worst = std::max(worst, std::abs(plane[i] - pixels[i * components + k]));
      EXPECT_LE(worst, 3) << "component " << k;  // quality 100 is nearly lossless
    }
  }
}

TEST_F(CziReader, DecodesJpegXrSubblocks) {
  struct TCase {
    int pixelType, components, sampleBytes;
  };
  for (const TCase& c : {TCase{0, 1, 1}, TCase{1, 1, 2}, TCase{3, 3, 1}}) {
    const int width = 20, height = 18;  // not whole macroblocks
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height * c.components * c.sampleBytes));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 7 + i / 13) & 0xFF);
    TCziSubblockRecipe block;
    block.PixelType = c.pixelType;
    block.Compression = 4;
    block.Dimensions = CziPlaneDimensions(width, height, {{'C', 0}});
    block.Data = test::CompressJpegXr(pixels, width, height, c.components, c.sampleBytes);
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, c.components == 1 ? "" :
        "<Channels><Channel><PixelType>Bgr24</PixelType></Channel></Channels>");
    recipe.Subblocks = {block};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    for (int k = 0; k < c.components; ++k) {
      TWordDynArray plane;
      ASSERT_TRUE(reader.ReadImage(k, plane)) << c.pixelType << ": " << Logger().Last();
      ASSERT_EQ(plane.size(), static_cast<size_t>(width * height));
      for (int i = 0; i < width * height; ++i) {
        const size_t at = static_cast<size_t>((i * c.components + k) * c.sampleBytes);
        const int expected = c.sampleBytes == 1 ? pixels[at] : pixels[at] | pixels[at + 1] << 8;
        ASSERT_EQ(plane[i], expected) << "type " << c.pixelType << " component " << k << " pixel " << i;
      }
    }
  }
}

// The codec stops the program on some directory values (an orientation of 8
// or more, for one) and writes through null pointers on some codestream
// headers; such entries never reach it, and an image said to lie beyond the
// stream or a damaged header reads as False.
TEST_F(CziReader, JpegXrContainersAreCheckedBeforeTheCodecSeesThem) {
  const int width = 16, height = 16;
  const std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 77);
  const std::vector<uint8_t> good = test::CompressJpegXr(pixels, width, height, 1, 1);
  // Finds the directory entry of a tag in the encoder's little-endian container.
  auto entryOf = [&](uint16_t tag) -> size_t {
    const size_t directory = good[4] | good[5] << 8 | good[6] << 16 | static_cast<size_t>(good[7]) << 24;
    const size_t count = good[directory] | good[directory + 1] << 8;
    for (size_t i = 0; i < count; ++i) {
      const size_t entry = directory + 2 + 12 * i;
      if ((good[entry] | good[entry + 1] << 8) == tag) return entry;
    }
    return 0;
  };
  std::vector<uint8_t> orientation = good;
  const size_t resolution = entryOf(0xBC82);
  ASSERT_NE(resolution, 0u);
  const uint8_t badOrientation[12] = {0x02, 0xBC, 3, 0, 1, 0, 0, 0, 200, 0, 0, 0};
  std::memcpy(&orientation[resolution], badOrientation, sizeof badOrientation);
  std::vector<uint8_t> beyond = good;
  const size_t byteCount = entryOf(0xBCC1);
  ASSERT_NE(byteCount, 0u);
  beyond[byteCount + 10] = 0x7F;

  // A plane header naming an unknown colour format and band set (once a null-pointer write inside the codec).
  std::vector<uint8_t> planeHeader = good;
  const size_t imageAt = entryOf(0xBCC0);
  ASSERT_NE(imageAt, 0u);
  planeHeader[good[imageAt + 8] + 16u] = 0xA8;

  for (const auto& [stream, readable] :
       {std::pair{orientation, true}, std::pair{beyond, false}, std::pair{planeHeader, false}}) {
    TCziSubblockRecipe block;
    block.PixelType = 0;
    block.Compression = 4;
    block.Dimensions = CziPlaneDimensions(width, height, {{'C', 0}});
    block.Data = stream;
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = {block};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    TWordDynArray plane;
    EXPECT_EQ(reader.ReadImage(0, plane), readable) << Logger().Last();
    if (readable) {
      EXPECT_EQ(plane, TWordDynArray(pixels.size(), 77));
    }
  }
}

TEST_F(CziReader, AFaultySubblockReadsAsFalse) {
  const std::vector<uint8_t> raw = test::WordBytes(Ramp(2));
  std::vector<uint8_t> corrupt = test::CompressZstdFrame(raw);
  corrupt.resize(corrupt.size() - 4);  // truncated frame
  const std::vector<uint8_t> small(raw.begin(), raw.begin() + 10);
  const std::vector<std::vector<uint8_t>> stored = {
      test::CompressZstdFrame(small),  // decodes to fewer bytes than the plane
      corrupt,
      {7, 1, 2, 3},  // unknown header size
  };
  for (size_t i = 0; i < stored.size(); ++i) {
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = {Gray16Plane(0, 0, 0, i == 2 ? 6 : 5, stored[i])};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    TWordDynArray plane{1, 2};
    EXPECT_FALSE(reader.ReadImage(0, plane)) << i;
    EXPECT_EQ(plane, (TWordDynArray{1, 2}));
  }

  // A JPEG of a few bytes that claims a plane of 900 MB is refused before that plane is allocated.
  {
    TCziSubblockRecipe block;
    block.PixelType = 0;
    block.Compression = 1;
    block.Dimensions = CziPlaneDimensions(30000, 30000, {{'C', 0}});
    block.Data = test::CompressJpeg(std::vector<uint8_t>(64, 9), 8, 8, 1);
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = {block};
    TZeissCziReader reader;
    reader.Open(Write(recipe));
    TWordDynArray plane;
    EXPECT_FALSE(reader.ReadImage(0, plane));
    EXPECT_NE(Logger().Last().find("cannot hold a plane"), std::string::npos);
  }

  // An uncompressed subblock shorter than its plane, and one whose position was forged.
  TCziFileRecipe recipe;
  recipe.MetadataXml = CziMetadataXml({{"SizeC", 2}}, "");
  recipe.Subblocks = {Gray16Plane(0, 0, 0, 0, small), Gray16Plane(1, 0, 0)};
  test::TCziFile file = test::BuildCzi(recipe);
  const int64_t forged = int64_t{1} << 40;
  const size_t entry2 = static_cast<size_t>(file.DirectoryPosition) + 32 + 128 + (32 + 4 * 20) + 6;
  std::memcpy(file.Bytes.data() + entry2, &forged, 8);
  const std::string path = dir.File("forged.czi");
  test::WriteFile(path, file.Bytes);
  TZeissCziReader reader;
  reader.Open(path);
  TWordDynArray plane;
  EXPECT_FALSE(reader.ReadImage(0, plane));
  EXPECT_FALSE(reader.ReadImage(1, plane));
}

TEST_F(CziReader, FileWithoutMetadataTakesItsChannelsFromTheDirectory) {
  TCziFileRecipe recipe;
  for (int c = 0; c < 3; ++c) recipe.Subblocks.push_back(Gray16Plane(c + 2, 0, c));  // channels start at 2
  TZeissCziReader reader;
  reader.Open(Write(recipe));
  EXPECT_EQ(reader.ChannelCount(), 3);
  EXPECT_EQ(reader.StackInfo().Origins[dimChannel], 2);
  TWordDynArray plane;
  ASSERT_TRUE(reader.ReadImage(2, plane));
  EXPECT_EQ(plane[0], Ramp(2)[0]);

  // Channel values at both ends of the 32-bit range: their distance does not overflow.
  recipe.Subblocks = {Gray16Plane(-2000000000, 0, 0), Gray16Plane(1200000000, 0, 1)};
  TZeissCziReader farApart;
  farApart.Open(Write(recipe));
  EXPECT_TRUE(farApart.ReadImage(0, plane));
}

TEST_F(CziReader, BrokenFilesFailAtTheStepThatNamesTheFault) {
  TCziFileRecipe good;
  good.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
  good.Subblocks = {Gray16Plane(0, 0, 0)};
  const test::TCziFile file = test::BuildCzi(good);

  struct TCase {
    const char* step;
    std::function<void(std::vector<uint8_t>&)> damage;
  };
  auto putInt64 = [](std::vector<uint8_t>& bytes, size_t at, int64_t value) { std::memcpy(&bytes[at], &value, 8); };
  const size_t directory = static_cast<size_t>(file.DirectoryPosition);
  const size_t metadata = static_cast<size_t>(file.MetadataPosition);
  const TCase cases[] = {
      {"Incorrect MagicNum.", [](auto& b) { b.resize(500); }},
      {"Incorrect file header.", [](auto& b) { b[0] = 'X'; }},
      {"Incorrect header size.", [&](auto& b) { putInt64(b, 16, 256); }},
      {"Incorrect header size.", [&](auto& b) { putInt64(b, 32 + 52, 100); }},
      {"Incorrect primary subblock size.", [&](auto& b) { b[directory + 3] = 'X'; }},
      {"Incorrect directory entry.", [&](auto& b) { b.resize(directory + 32 + 128 + 40); }},
      {"Incorrect directory entry.", [&](auto& b) { std::memset(&b[directory + 32], 0, 4); }},
      {"Incorrect directory entry.", [&](auto& b) { std::memset(&b[directory + 32], 0xFF, 4); }},
      {"Incorrect segment header.", [&](auto& b) { b[metadata + 4] = 'X'; }},
      {"Incorrect segment header.", [&](auto& b) { std::memset(&b[metadata + 32], 0x7F, 4); }},
      {"Cannot load XML.", [&](auto& b) { b[metadata + 32 + 256 + 45] = '<'; }},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> bytes = file.Bytes;
    c.damage(bytes);
    const std::string path = dir.File("broken.czi");
    test::WriteFile(path, bytes);
    EXPECT_EQ(OpenError(path), "Invalid format. Cannot open file (" + path + "). (" + c.step + ")") << c.step;
  }
}

TEST_F(CziReader, ForgedSizesAreRefusedWithoutAllocatingThem) {
  const std::vector<std::vector<std::pair<std::string, int>>> sizes = {
      {{"SizeC", 1}, {"SizeT", 2000000000}},
      {{"SizeC", 100000}, {"SizeZ", 100000}},
      {{"SizeC", 1}, {"SizeZ", 3000}, {"SizeT", 3000}},
  };
  for (const auto& s : sizes) {
    TCziFileRecipe recipe;
    recipe.MetadataXml = CziMetadataXml(s, "");
    recipe.Subblocks = {Gray16Plane(0, 0, 0)};
    EXPECT_NE(OpenError(Write(recipe)), "");
  }
  // A subblock claiming huge extents only covers what lies inside the stack,
  // and its plane numbers do not overflow on the way.
  TCziFileRecipe recipe;
  recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}, {"SizeZ", 2}, {"SizeT", 2}}, "");
  TCziSubblockRecipe block = Gray16Plane(0, 0, 0);
  block.Dimensions[2].Size = 2000000000;
  block.Dimensions[3].Size = 2000000000;
  block.Dimensions.push_back({'T', 0, 2000000000, 0});
  recipe.Subblocks = {block};
  TZeissCziReader reader;
  reader.Open(Write(recipe));
  EXPECT_EQ(reader.ImageInfos()[1].SourcePlane, 2000000000);  // Z 1: one step of the channel's extent
  EXPECT_EQ(reader.ImageInfos()[2].SourceState, -1);  // T 1 lies beyond the planes a subblock can number

  // A plane of 2e9 × 2e9 complex pixels neither wraps its byte count nor gets allocated.
  for (int compression : {0, 5}) {
    TCziSubblockRecipe huge = Gray16Plane(0, 0, 0, compression, compression ? test::CompressZstdFrame({1, 2}) : std::vector<uint8_t>{});
    huge.PixelType = 10;  // complex samples of 8 bytes
    huge.Dimensions[0].Size = huge.Dimensions[1].Size = 2000000000;
    recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
    recipe.Subblocks = {huge};
    TZeissCziReader hugeReader;
    hugeReader.Open(Write(recipe));
    TWordDynArray plane;
    EXPECT_FALSE(hugeReader.ReadImage(0, plane));
  }
}

TEST_F(CziReader, CanReadScoresBySupportedEntriesAndDimensions) {
  TCziFileRecipe recipe;
  recipe.MetadataXml = CziMetadataXml({{"SizeC", 1}}, "");
  recipe.Subblocks = {Gray16Plane(0, 0, 0), Gray16Plane(0, 1, 0)};
  EXPECT_EQ(TZeissCziReader::CanRead(Write(recipe)), 10000);
  recipe.Subblocks[1].Compression = 3;      // unknown compression: one of two entries is bad
  recipe.Subblocks[1].Dimensions[2].Letter = 'Q';  // one unknown letter of eight
  EXPECT_EQ(TZeissCziReader::CanRead(Write(recipe)), static_cast<int>(std::nearbyint(0.5 * 9900 * 7 / 8)) + 100);
  test::WriteFile(dir.File("short.czi"), std::vector<uint8_t>(100, 0));
  EXPECT_EQ(TZeissCziReader::CanRead(dir.File("short.czi")), 0);
  EXPECT_EQ(TZeissCziReader::CanRead(dir.File("missing.czi")), 0);
}

}  // namespace
}  // namespace orbelin
