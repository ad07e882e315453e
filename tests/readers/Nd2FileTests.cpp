#include <gtest/gtest.h>

#include <cstring>

#include "fixtures/Nd2Writer.h"
#include "foundation/Exceptions.h"
#include "readers/Nd2TestSupport.h"
#include "readers/nd2/Nd2ChunkMap.h"
#include "readers/nd2/Nd2PixelData.h"

namespace orbelin {
namespace {

using namespace fixtures;
using test::Contains;
using test::OpenNd2;
using test::ReadNd2Plane;
using test::TNd2Opened;

TNd2FileRecipe TwoChannels() {
  TNd2FileRecipe recipe;
  recipe.Width = 6;
  recipe.Height = 3;
  recipe.Channels = {{"DAPI", 0xFF0000, 461}, {"FITC", 0x00FF00, 0}};
  recipe.TextItems = {"id-1", "", "", "", "Ada"};
  return recipe;
}

// The plane the writer stored for a sequence step and component.
TWordDynArray Expected(const TNd2FileRecipe& recipe, int64_t sequence, int component) {
  TWordDynArray plane;
  const uint16_t mask = recipe.BitsPerSample == 8 ? 0xFF : 0xFFFF;
  for (uint32_t y = 0; y < recipe.Height; ++y)
    for (uint32_t x = 0; x < recipe.Width; ++x)
      plane.push_back(static_cast<uint16_t>(Nd2FixturePixel(sequence, component, x, y) & mask));
  return plane;
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  TNd2Opened opened;
  try {
    OpenNd2(bytes, opened);
  } catch (const Exception& error) {
    return error.what();
  }
  return "no error";
}

struct TContainerCase {
  const char* name;
  bool xml;
  bool trailer;
  const char* version;
  int64_t compression;
  uint32_t bits;
  uint32_t rowPadding;
};

class Nd2Container : public testing::TestWithParam<TContainerCase> {};

TEST_P(Nd2Container, DescribesTheStackAndDeliversEveryChannel) {
  const TContainerCase& c = GetParam();
  TNd2FileRecipe recipe = TwoChannels();
  recipe.XmlMetadata = c.xml;
  recipe.Container.Trailer = c.trailer;
  recipe.Container.Version = c.version;
  recipe.Compression = c.compression;
  recipe.BitsPerSample = c.bits;
  if (c.rowPadding) recipe.RowBytes = recipe.Width * 2 * (c.bits / 8) + c.rowPadding;
  recipe.Loops = {Loop(lkTime, 3)};
  TNd2Opened opened;
  OpenNd2(WriteNd2File(recipe), opened);
  ASSERT_EQ(opened.code, 0);
  const TNd2Header& h = opened.header;
  EXPECT_TRUE(opened.reports.empty()) << opened.reports.front();
  EXPECT_EQ(h.Width, 6);
  EXPECT_EQ(h.Height, 3);
  EXPECT_EQ(h.Components, 2);
  EXPECT_EQ(h.TimePoints, 3);
  EXPECT_EQ(h.SequenceCount, 3);
  EXPECT_EQ(h.ImageCount(), 6);
  EXPECT_EQ(h.PixelType, c.bits == 8 ? 0 : 1);
  EXPECT_EQ(h.CompressionMode, c.compression == 0 ? cmLossless : cmUncompressed);
  EXPECT_FLOAT_EQ(h.PixelWidth, 0.5e-6f);
  ASSERT_EQ(h.Channels.size(), 2u);
  EXPECT_EQ(h.Channels[0].Name, "DAPI");
  EXPECT_EQ(h.Channels[0].Color, 0xFF0000u);
  EXPECT_FLOAT_EQ(h.Channels[0].Wavelength, 461);
  EXPECT_EQ(h.Channels[1].Name, "FITC");
  EXPECT_EQ(h.Channels[1].Wavelength, 0);
  EXPECT_EQ(h.Optics.ObjectiveName, "Plan Apo 60x");
  EXPECT_FLOAT_EQ(h.Optics.NumericalAperture, 1.4f);
  ASSERT_EQ(h.TextInfo.size(), 14u);
  EXPECT_EQ(h.TextInfo[0], (std::pair<std::string, std::string>{"ImageID", "id-1"}));
  EXPECT_EQ(h.TextInfo[4], (std::pair<std::string, std::string>{"Author", "Ada"}));
  EXPECT_EQ(h.TextInfo[13], (std::pair<std::string, std::string>{"Optics", ""}));
  ASSERT_EQ(h.ImageDataChunks.size(), 3u);
  TWordDynArray direct;
  for (int t = 0; t < 3; ++t)
    for (int channel = 0; channel < 2; ++channel) {
      EXPECT_EQ(ReadNd2Plane(opened, 0, t, 0, channel), Expected(recipe, t, channel)) << t << "/" << channel;
      // Uncompressed steps can also be read one channel at a time, past the whole frame.
      EXPECT_EQ(CanReadNd2Component(h), c.compression == 2);
      if (c.compression != 2) continue;
      ASSERT_TRUE(ReadNd2Component(opened.stream, h, t, channel, direct));
      EXPECT_EQ(direct, Expected(recipe, t, channel)) << t << "/" << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Nd2Container,
    testing::Values(TContainerCase{"LVTrailer", false, true, "Ver3.0", 2, 16, 0},
                    TContainerCase{"XMLTrailer", true, true, "Ver3.0", 2, 16, 0},
                    TContainerCase{"WalkAligned", false, false, "Ver3.0", 2, 16, 0},
                    TContainerCase{"WalkUnaligned", false, false, "Ver2.0", 2, 16, 0},
                    TContainerCase{"XMLWalkUnaligned", true, false, "Ver2.0", 2, 16, 0},
                    TContainerCase{"Lossless", false, true, "Ver3.0", 0, 16, 0},
                    TContainerCase{"LosslessPaddedRows", false, true, "Ver3.0", 0, 16, 4},
                    TContainerCase{"PaddedRows", false, true, "Ver3.0", 2, 16, 6},
                    TContainerCase{"EightBitPaddedRows", true, true, "Ver3.0", 2, 8, 3}),
    [](const testing::TestParamInfo<TContainerCase>& info) { return std::string(info.param.name); });

TEST(Nd2File, WalkStepsMatchTheFileVersion) {
  // Ver2.0 chunks follow each other unpadded; walking them with 4096-byte steps
  // would land inside data and report lost chunks.
  for (const char* version : {"Ver2.0", "Ver3.0"}) {
    TNd2FileRecipe recipe = TwoChannels();
    recipe.Container = {version, false};
    const std::vector<uint8_t> bytes = WriteNd2File(recipe);
    EXPECT_EQ(bytes.size() % 4096 == 0, std::string(version) == "Ver3.0");
    TNd2Opened opened;
    OpenNd2(bytes, opened);
    EXPECT_TRUE(opened.reports.empty()) << version;
    EXPECT_GE(FindChunk(opened.header.Map, "CustomData|AcqTimesCache"), 0) << version;
  }
}

TEST(Nd2File, WalkRecoversFromADamagedChunkByBlockSearch) {
  TNd2FileRecipe recipe = TwoChannels();
  recipe.Container.Trailer = false;
  std::vector<TNd2Chunk> chunks = Nd2FileChunks(recipe);
  std::vector<uint8_t> bytes = WriteNd2Container(chunks, recipe.Container);
  const int64_t damaged = Nd2ChunkPosition(chunks, recipe.Container, "CustomData|X");
  bytes[static_cast<size_t>(damaged)] ^= 0xFF;
  TNd2Opened opened;
  OpenNd2(bytes, opened);
  EXPECT_EQ(opened.reports.front(), FormatText("Failed reading chunk map at position $%.6llX.",
                                               static_cast<unsigned long long>(damaged)));
  EXPECT_LT(FindChunk(opened.header.Map, "CustomData|X"), 0);
  EXPECT_GE(FindChunk(opened.header.Map, "CustomData|Y"), 0);
  EXPECT_TRUE(opened.header.StageX.empty());
  EXPECT_EQ(opened.header.StageY.size(), 1u);

  // Nothing but noise after the first chunk: the search gives up.
  std::vector<uint8_t> noise(bytes.begin(), bytes.begin() + 4096);
  noise.resize(5 * 4096, 0x11);
  TNd2Opened lost;
  try {
    OpenNd2(noise, lost);
    ADD_FAILURE() << "opened noise";
  } catch (const ESciImageReaderError& error) {
    EXPECT_STREQ(error.what(), "Invalid format at position 00004000.");
  }
  EXPECT_EQ(lost.reports.back(), "Attempt to search for chunks failed.");
}

TEST(Nd2File, DamagedMapEntryEndsTheMapThere) {
  TNd2FileRecipe recipe = TwoChannels();
  recipe.Loops = {Loop(lkTime, 2)};
  std::vector<uint8_t> bytes = WriteNd2File(recipe);
  const std::string entry = "CustomData|Y!";
  const auto at = std::search(bytes.rbegin(), bytes.rend(), entry.rbegin(), entry.rend());
  ASSERT_NE(at, bytes.rend());
  *at = 0x01;  // the "!" of the map entry becomes a control byte
  TNd2Opened opened;
  OpenNd2(bytes, opened);
  EXPECT_GE(FindChunk(opened.header.Map, "CustomData|X"), 0);
  EXPECT_LT(FindChunk(opened.header.Map, "CustomData|Y"), 0);
  EXPECT_LT(FindChunk(opened.header.Map, "CustomData|Z"), 0);
  EXPECT_EQ(opened.header.StageX.size(), 2u);
  EXPECT_TRUE(opened.header.StageY.empty());

  // When the damage takes image data with it, the steps left without data fail the open.
  bytes = WriteNd2File(recipe);
  const std::string frame = "ImageDataSeq|1!";
  const auto frameEntry = std::search(bytes.rbegin(), bytes.rend(), frame.rbegin(), frame.rend());
  *frameEntry = 0x01;
  EXPECT_EQ(ErrorOf(bytes), "Invalid image attributes: 2 components, 2 sequences.");
}

TEST(Nd2File, LaterDuplicateAttributesWin) {
  TNd2FileRecipe recipe = TwoChannels();
  std::vector<TNd2Chunk> chunks = Nd2FileChunks(recipe);
  TNd2FileRecipe wide = recipe;
  wide.Width = 2;
  chunks.push_back(Nd2FileChunks(wide).front());
  chunks.back().Name = "ImageAttributesLV";
  TNd2Opened opened;
  OpenNd2(WriteNd2Container(chunks), opened);
  EXPECT_EQ(opened.header.Width, 2);
  EXPECT_EQ(opened.header.Map[static_cast<size_t>(FindChunk(opened.header.Map, "ImageAttributesLV"))].SameNameCount, 2);
}

TEST(Nd2File, ClassifiesChunksAndReportsUnknownNames) {
  TNd2FileRecipe recipe = TwoChannels();
  std::vector<TNd2Chunk> chunks = Nd2FileChunks(recipe);
  chunks.push_back({"CustomDataVar|AppInfo_V1_0", {1, 2}});
  chunks.push_back({"ImageAttributesLVX", {1}});
  TNd2Opened opened;
  OpenNd2(WriteNd2Container(chunks), opened);
  EXPECT_EQ(opened.reports, std::vector<std::string>{"Unknown chunk: \"ImageAttributesLVX\"."});
  const auto kindOf = [&](const char* name) { return opened.header.Map[static_cast<size_t>(FindChunk(opened.header.Map, name))].Kind; };
  EXPECT_EQ(kindOf("ImageAttributesLV"), ckMetadataLV);
  EXPECT_EQ(kindOf("ImageMetadataSeqLV|0"), ckMetadataLV);
  EXPECT_EQ(kindOf("CustomDataVar|AppInfo_V1_0"), ckMetadata);
  EXPECT_EQ(kindOf("CustomData|X"), ckCustomData);
  EXPECT_EQ(kindOf("ImageDataSeq|0"), ckImageData);
}

TEST(Nd2File, ValidFlagsDropTimePointsPositionsAndPlanes) {
  TNd2FileRecipe recipe = TwoChannels();
  const TNd2LoopRecipe time = Loop(lkTime, 5, {1, 1, 0, 1, 1});
  const TNd2LoopRecipe xy = Loop(lkPosition, 3, {1, 0, 1}, {"A", "B", "C"}, {10, 20, 30}, {-1, -2, -3});
  TNd2LoopRecipe z = Loop(lkZ, 3, {0, 1, 1});
  z.ZStep = 0.5;
  z.ZLow = 2;
  recipe.Loops = {time, xy, z};
  TNd2Opened opened;
  OpenNd2(WriteNd2File(recipe), opened);
  const TNd2Header& h = opened.header;
  EXPECT_EQ(h.TimePoints, 4);
  EXPECT_EQ(h.Positions, 2);
  EXPECT_EQ(h.Planes, 2);
  EXPECT_EQ(h.SequenceCount, 16);
  EXPECT_EQ(h.SequenceOrder, soTPZ);
  EXPECT_EQ(h.LevelTypes, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(h.PositionNames, (std::vector<std::string>{"A", "C"}));
  ASSERT_EQ(h.PositionXY.size(), 2u);
  EXPECT_FLOAT_EQ(h.PositionXY[1].x, 30e-6f);
  EXPECT_FLOAT_EQ(h.PositionXY[1].y, -3e-6f);
  EXPECT_FLOAT_EQ(h.PlaneSpacing, 0.5e-6f);
  ASSERT_EQ(h.PlanePositions.size(), 2u);
  EXPECT_FLOAT_EQ(h.PlanePositions[0], 2.5e-6f);
  EXPECT_FLOAT_EQ(h.PlanePositions[1], 3e-6f);
  // Time (outer), position, Z: step = (positions × t + p) × planes + z.
  EXPECT_EQ(h.ImageIndexOf(1, 3, 1, 1), ((2 * 3 + 1) * 2 + 1) * 2 + 1);
  EXPECT_EQ(ReadNd2Plane(opened, 1, 3, 1, 1), Expected(recipe, 15, 1));
}

TEST(Nd2File, PositionNamesWithoutCoordinates) {
  TNd2FileRecipe recipe = TwoChannels();
  recipe.XmlMetadata = true;
  recipe.Loops = {Loop(lkPosition, 2, {}, {"well A1", "well B2"})};
  TNd2Opened opened;
  OpenNd2(WriteNd2File(recipe), opened);
  EXPECT_EQ(opened.header.PositionNames, (std::vector<std::string>{"well A1", "well B2"}));
  EXPECT_EQ(opened.header.PositionXY, (TPointFs{{0, 0}, {0, 0}}));
}

TEST(Nd2File, LoopNestingGivesTheSequenceOrder) {
  struct Case {
    std::vector<uint32_t> kinds;
    uint8_t order;
    int64_t stepOfLastImage;  // of (position 1, time 1, plane 1) when those exist
  };
  const Case cases[] = {
      {{lkTime, lkZ}, soTZ, 2 * 1 + 1},         // planes × T + Z
      {{lkZ, lkTime}, soZT, 2 * 1 + 1},         // times × Z + T
      {{lkPosition, lkTime}, soPT, 2 * 1 + 1},  // times × P + T
      {{lkNoDimension, lkZ}, soZ, 1},
  };
  for (const Case& c : cases) {
    TNd2FileRecipe recipe = TwoChannels();
    for (uint32_t kind : c.kinds) recipe.Loops.push_back(Loop(kind, 2, {}, {"a", "b"}));
    TNd2Opened opened;
    OpenNd2(WriteNd2File(recipe), opened);
    EXPECT_EQ(opened.header.SequenceOrder, c.order);
    EXPECT_EQ(opened.header.ImageIndexOf(1, 1, 1, 0) / 2, c.stepOfLastImage);
  }
  EXPECT_EQ(AddLoop(soTPZ, lpTime), 0);
  EXPECT_EQ(AddLoop(soZP, lpTime), soZPT);
}

TEST(Nd2File, RaisesTheLoopAndConsistencyErrors) {
  TNd2FileRecipe twoTimes = TwoChannels();
  twoTimes.Loops = {Loop(lkTime, 2), Loop(lkTime, 2)};
  EXPECT_EQ(ErrorOf(WriteNd2File(twoTimes)), "Invalid Sequence order.");

  TNd2FileRecipe unknown = TwoChannels();
  unknown.Loops = {Loop(3, 2)};
  EXPECT_EQ(ErrorOf(WriteNd2File(unknown)), "Unknown loop time 3");

  TNd2FileRecipe mismatch = TwoChannels();
  mismatch.Loops = {Loop(lkTime, 3), Loop(lkPosition, 2, {}, {"a", "b"})};
  mismatch.SequenceCount = 5;
  EXPECT_EQ(ErrorOf(WriteNd2File(mismatch)),
            "Mismatch sequence number: Time * Plane * Position * Color = 3 * 1 * 2 * 2 = 12 <> 10");

  TNd2FileRecipe lossy = TwoChannels();
  lossy.Compression = 1;
  EXPECT_EQ(ErrorOf(WriteNd2File(lossy)), "Unknown compression type: 1.");

  std::vector<TNd2Chunk> chunks = Nd2FileChunks(TwoChannels());
  std::erase_if(chunks, [](const TNd2Chunk& c) { return c.Name == "ImageMetadataSeqLV|0"; });
  EXPECT_EQ(ErrorOf(WriteNd2Container(chunks)), "Cannot found the chunk of Image MetaData Seq 0.");
  std::erase_if(chunks, [](const TNd2Chunk& c) { return c.Name == "ImageAttributesLV"; });
  EXPECT_EQ(ErrorOf(WriteNd2Container(chunks)), "Cannot found the chunk of Image Attributes.");

  TNd2FileRecipe twelveBits = TwoChannels();
  twelveBits.BitsPerSample = 12;
  TNd2Opened opened;
  OpenNd2(WriteNd2File(twelveBits), opened);
  EXPECT_EQ(opened.code, kNd2UnsupportedSampleSize);
}

TEST(Nd2File, CustomDataFillsStageAndTimeStamps) {
  TNd2FileRecipe recipe = TwoChannels();
  recipe.Loops = {Loop(lkTime, 3)};
  recipe.StageXBytesShort = 8;
  TNd2Opened opened;
  OpenNd2(WriteNd2File(recipe), opened);
  const TNd2Header& h = opened.header;
  EXPECT_EQ(opened.reports, std::vector<std::string>{"CustomData|X size mismatch."});
  EXPECT_TRUE(h.StageX.empty());
  EXPECT_EQ(h.StageY, (std::vector<float>{200e-6f, 201e-6f, 202e-6f}));
  EXPECT_EQ(h.StageZ.size(), 3u);
  EXPECT_EQ(h.TimeStamps, (std::vector<double>{0, static_cast<float>(1000e-6), static_cast<float>(2000e-6)}));
  EXPECT_DOUBLE_EQ(h.TimeInterval, static_cast<float>(2000e-6) / 2);
}

// Forged offsets, lengths and counts fail cleanly instead of reading out of
// bounds or allocating what the file cannot hold.
TEST(Nd2File, ForgedFieldsAreRefused) {
  const TNd2FileRecipe base = TwoChannels();
  struct Forgery {
    const char* what;
    std::function<void(TNd2FileRecipe&)> edit;
  };
  const Forgery forgeries[] = {
      {"huge width", [](TNd2FileRecipe& s) { s.Width = 0x7FFFFFF0; s.FramesWritten = 0; }},
      {"huge sequence count", [](TNd2FileRecipe& s) { s.SequenceCount = 0xFFFFFFF; s.StageData = false; s.FramesWritten = 1; }},
      {"huge loop count", [](TNd2FileRecipe& s) { s.Loops = {Loop(lkZ, 0xFFFFFFF0u)}; s.SequenceCount = 1; }},
      {"huge position loop", [](TNd2FileRecipe& s) { s.Loops = {Loop(lkPosition, 0xFFFFFFF0u)}; s.SequenceCount = 1; }},
  };
  for (const Forgery& forgery : forgeries) {
    TNd2FileRecipe recipe = base;
    forgery.edit(recipe);
    EXPECT_NE(ErrorOf(WriteNd2File(recipe)), "no error") << forgery.what;
  }

  std::vector<uint8_t> bytes = WriteNd2File(base);
  const auto patch64 = [](std::vector<uint8_t> file, size_t at, uint64_t value) {
    std::memcpy(file.data() + at, &value, 8);
    return file;
  };
  EXPECT_NE(ErrorOf(patch64(bytes, bytes.size() - 8, 1ull << 40)), "no error") << "map position";
  EXPECT_NE(ErrorOf(patch64(bytes, bytes.size() - 8, bytes.size() - 10)), "no error") << "map at the end";

  // An image-data chunk whose length runs past the end of the file is not read.
  std::vector<TNd2Chunk> chunks = Nd2FileChunks(base);
  const int64_t frame = Nd2ChunkPosition(chunks, {}, "ImageDataSeq|0");
  TNd2Opened opened;
  OpenNd2(patch64(bytes, static_cast<size_t>(frame) + 8, 1ull << 50), opened);
  std::vector<uint8_t> data;
  EXPECT_FALSE(ReadNd2SequenceData(opened.stream, opened.header, 0, data));
  EXPECT_FALSE(ReadNd2SequenceData(opened.stream, opened.header, -1, data));
  EXPECT_FALSE(ReadNd2SequenceData(opened.stream, opened.header, 7, data));
}

// Found by fuzzing: empty map data and empty custom data must not hand a
// null buffer to the stream.
TEST(Nd2File, EmptyMapAndEmptyStepsAreHandled) {
  TNd2FileRecipe recipe = TwoChannels();
  std::vector<uint8_t> bytes = WriteNd2File(recipe);
  uint64_t mapPosition = 0;
  std::memcpy(&mapPosition, bytes.data() + bytes.size() - 8, 8);
  const uint64_t empty = 0;
  std::memcpy(bytes.data() + mapPosition + 8, &empty, 8);
  EXPECT_EQ(ErrorOf(bytes), "Cannot found the chunk of Image Attributes.");

  TNd2FileRecipe noSteps = TwoChannels();
  noSteps.Loops = {Loop(lkTime, 0)};
  TNd2Opened opened;
  OpenNd2(WriteNd2File(noSteps), opened);
  EXPECT_EQ(opened.header.SequenceCount, 0);
  EXPECT_EQ(opened.header.ImageCount(), 0);
  EXPECT_TRUE(opened.header.StageX.empty());
}

struct TComponentCase {
  const char* name;
  int components;
  uint32_t bits;
  uint32_t width, height, rowPadding;
  int64_t storedBytesCut;  // bytes taken off the end of the stored frame
};

// Reading one channel straight from the stored rows gives what the whole frame
// gives, also when the frame spans several read blocks and when the file holds
// less than a frame (cut inside a row and inside a sample).
TEST(Nd2File, ChannelReadMatchesTheWholeFrame) {
  const TComponentCase cases[] = {
      {"one channel", 1, 16, 7, 3, 0, 0},
      {"one channel cut", 1, 16, 7, 3, 0, 5},
      {"one padded channel", 1, 16, 7, 3, 2, 0},
      {"large", 3, 16, 301, 290, 0, 0},
      {"large padded cut", 3, 16, 301, 290, 6, 1001},
      {"large eight bits cut", 2, 8, 513, 600, 1, 70001},
      {"cut to the time stamp", 2, 16, 5, 4, 0, 5 * 4 * 2 * 2},
      {"four channels", 4, 16, 9, 5, 0, 3},
      {"five eight-bit channels", 5, 8, 9, 5, 2, 0},
  };
  for (const TComponentCase& c : cases) {
    SCOPED_TRACE(c.name);
    TNd2FileRecipe recipe;
    recipe.Width = c.width;
    recipe.Height = c.height;
    recipe.BitsPerSample = c.bits;
    recipe.Channels.assign(static_cast<size_t>(c.components), {"C", 0xFFFFFF, 0});
    if (c.rowPadding) recipe.RowBytes = c.width * c.components * (c.bits / 8) + c.rowPadding;
    recipe.StageData = false;
    std::vector<TNd2Chunk> chunks = Nd2FileChunks(recipe);
    for (TNd2Chunk& chunk : chunks)
      if (chunk.Name == "ImageDataSeq|0") chunk.Data.resize(chunk.Data.size() - static_cast<size_t>(c.storedBytesCut));
    TNd2Opened opened;
    OpenNd2(WriteNd2Container(chunks), opened);
    ASSERT_TRUE(CanReadNd2Component(opened.header));
    std::vector<uint8_t> frame;
    ASSERT_TRUE(ReadNd2SequenceData(opened.stream, opened.header, 0, frame));
    TWordDynArray direct;
    for (int channel = 0; channel < c.components; ++channel) {
      ASSERT_TRUE(ReadNd2Component(opened.stream, opened.header, 0, channel, direct));
      EXPECT_EQ(direct, test::Nd2ChannelPlane(opened.header, frame, channel)) << channel;
    }
    EXPECT_FALSE(ReadNd2Component(opened.stream, opened.header, 1, 0, direct));
    EXPECT_FALSE(ReadNd2Component(opened.stream, opened.header, 0, c.components, direct));
  }
}

TEST(Nd2File, CorruptLosslessFrameIsNotDelivered) {
  TNd2FileRecipe recipe = TwoChannels();
  recipe.Compression = 0;
  recipe.Loops = {Loop(lkTime, 2)};
  std::vector<TNd2Chunk> chunks = Nd2FileChunks(recipe);
  for (TNd2Chunk& chunk : chunks) {
    if (chunk.Name == "ImageDataSeq|0") std::fill(chunk.Data.begin() + 8, chunk.Data.end(), 0x5A);
    if (chunk.Name == "ImageDataSeq|1") chunk.Data.resize(chunk.Data.size() / 2);  // stream cut short
  }
  TNd2Opened opened;
  OpenNd2(WriteNd2Container(chunks), opened);
  std::vector<uint8_t> data;
  EXPECT_FALSE(ReadNd2SequenceData(opened.stream, opened.header, 0, data));
  EXPECT_FALSE(ReadNd2SequenceData(opened.stream, opened.header, 1, data));
}

}  // namespace
}  // namespace orbelin
