#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "fixtures/Nd2Writer.h"
#include "foundation/Exceptions.h"
#include "readers/nd2/NikonNd2Reader.h"
#include "support/Sha256.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

using namespace fixtures;

TNd2FileRecipe TwoChannelsThreePositions() {
  TNd2FileRecipe recipe;
  recipe.Width = 5;
  recipe.Height = 3;
  recipe.RowBytes = 5 * 2 * 2 + 4;  // padded rows
  recipe.Channels = {{"DAPI", 0xFF0000, 461}, {"FITC", 0xFF00, 0}};
  recipe.Loops = {Loop(lkPosition, 4, {1, 1, 0, 1}, {"A", "B", "gone", "C"}, {1, 2, 3, 4}, {5, 6, 7, 8})};
  recipe.TextItems = {"id-7"};
  return recipe;
}

TWordDynArray Expected(const TNd2FileRecipe& recipe, int64_t sequence, int component) {
  TWordDynArray plane;
  for (uint32_t y = 0; y < recipe.Height; ++y)
    for (uint32_t x = 0; x < recipe.Width; ++x) plane.push_back(Nd2FixturePixel(sequence, component, x, y));
  return plane;
}

TEST(NikonNd2Reader, OpensAndDeliversThePlaneOfEveryCoordinate) {
  test::TempDir dir;
  const TNd2FileRecipe recipe = TwoChannelsThreePositions();
  const std::string path = dir.File("cells.nd2");
  test::WriteFile(path, WriteNd2File(recipe));
  TNikonNd2Reader reader;
  reader.Open(path);
  EXPECT_EQ(reader.ChannelCount(), 2);
  EXPECT_EQ(reader.PositionCount(), 3);
  EXPECT_EQ(reader.TimePointCount(), 1);
  EXPECT_EQ(reader.PlaneCount(), 1);
  EXPECT_EQ(reader.Width(), 5);
  EXPECT_EQ(reader.Height(), 3);
  EXPECT_EQ(reader.BitsPerSample(), 16);
  EXPECT_FLOAT_EQ(reader.PixelWidth(), 0.5e-6f);
  TSciImageReader::TChannelInfo channel;
  reader.GetChannelInfo(0, channel);
  EXPECT_EQ(channel.Name, "DAPI");
  EXPECT_FLOAT_EQ(channel.Wavelength, 461);
  const TStackInfo& stack = reader.StackInfo();
  EXPECT_EQ(stack.ImageCount, 6);
  EXPECT_EQ(stack.PositionNames.Values(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(stack.ChannelGroups.size(), 1u);
  EXPECT_EQ(stack.ChannelGroups[0].Count, 2);
  EXPECT_EQ(stack.TextInfo.Pairs[static_cast<size_t>(stack.TextInfo.IndexOfName("ImageID"))].Value, "id-7");
  ASSERT_EQ(reader.ImageInfos().size(), 6u);
  EXPECT_FLOAT_EQ(reader.ImageInfos()[5].StageX, 102e-6f);

  // Image index 5 is position 2, channel 1: sequence step 2 of the file.
  TWordDynArray plane;
  ASSERT_TRUE(reader.ReadImage(5, plane));
  EXPECT_EQ(plane, Expected(recipe, 2, 1));
  reader.SetPosition(1);
  reader.SetChannel(0);
  EXPECT_EQ(reader.CurrentImage(), 2);
  ASSERT_TRUE(reader.ReadCurrentImage(plane));
  EXPECT_EQ(plane, Expected(recipe, 1, 0));
}

TEST(NikonNd2Reader, FailedOpensNameTheCause) {
  test::TempDir dir;
  TNd2FileRecipe lossy = TwoChannelsThreePositions();
  lossy.Compression = 1;
  test::WriteFile(dir.File("lossy.nd2"), WriteNd2File(lossy));
  TNikonNd2Reader reader;
  try {
    reader.Open(dir.File("lossy.nd2"));
    ADD_FAILURE() << "opened";
  } catch (const ESciImageReaderError& error) {
    EXPECT_NE(std::string(error.what()).find("Unknown compression type: 1."), std::string::npos) << error.what();
  }
  EXPECT_FALSE(reader.Opened());
  EXPECT_EQ(reader.LastError(), -1);

  TNd2FileRecipe twelve = TwoChannelsThreePositions();
  twelve.BitsPerSample = 12;
  test::WriteFile(dir.File("twelve.nd2"), WriteNd2File(twelve));
  EXPECT_THROW(reader.Open(dir.File("twelve.nd2")), ESciImageReaderError);
  EXPECT_EQ(reader.LastError(), -10005);
}

TEST(NikonNd2Reader, ScoresFilesItCanRead) {
  test::TempDir dir;
  TNd2FileRecipe recipe = TwoChannelsThreePositions();
  test::WriteFile(dir.File("trailer.nd2"), WriteNd2File(recipe));
  recipe.Container.Trailer = false;
  test::WriteFile(dir.File("walk.nd2"), WriteNd2File(recipe));
  test::WriteFile(dir.File("small.nd2"), std::vector<uint8_t>(100, 0));

  // A JPEG 2000 box file: signature box of length 12, then "ftyp", box map at the end.
  std::vector<uint8_t> box(512, 0);
  const uint8_t head[] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 13, 10, 135, 10, 0, 0, 0, 20, 'f', 't', 'y', 'p'};
  std::memcpy(box.data(), head, sizeof(head));
  test::WriteFile(dir.File("box2.nd2"), box);
  std::memcpy(box.data() + box.size() - 40, "LABORATORY IMAGING ND BOX MAP 00", 32);
  test::WriteFile(dir.File("box.nd2"), box);

  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("trailer.nd2")), 10000);
  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("walk.nd2")), 1000);
  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("small.nd2")), 0);
  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("box.nd2")), 10000);
  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("box2.nd2")), 1000);
  EXPECT_EQ(TNikonNd2Reader::CanRead(dir.File("missing.nd2")), 0);
  EXPECT_EQ(ReaderClassForFile(dir.File("trailer.ND2")), &NikonNd2ReaderClass());

  // Recognised but not read: the box kind opens as an inconsistent stack.
  TNikonNd2Reader reader;
  EXPECT_THROW(reader.Open(dir.File("box.nd2")), ESciImageReaderError);
  EXPECT_EQ(reader.LastError(), -10003);
}

// The whole road of a real file: open, pick the channel, de-interleave, widen.
TEST(NikonNd2Reader, CorpusPlanesMatchTheReferenceDigests) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  std::ifstream reference(corpus / "REFERENCE.tsv");
  std::string line;
  int checked = 0;
  while (std::getline(reference, line)) {
    if (line.rfind("nd2/", 0) != 0) continue;
    std::istringstream fields(line);
    std::vector<std::string> field(7);
    for (std::string& f : field) std::getline(fields, f, '\t');
    SCOPED_TRACE(line);
    TNikonNd2Reader reader;
    reader.Open((corpus / field[0]).string());
    TWordDynArray plane;
    ASSERT_TRUE(reader.ReadImage(std::stoi(field[2]), plane));
    EXPECT_EQ(test::Sha256Hex(plane.data(), plane.size() * 2).substr(0, 16), field[6]);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

}  // namespace
}  // namespace orbelin
