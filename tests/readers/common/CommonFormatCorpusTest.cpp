#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "readers/common/CommonFormatReader.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

struct TExpected {
  std::vector<std::string> Channels;
  int Frames;
  int Width;
  int Height;
};

const std::vector<std::string> kRgb = {"Red", "Green", "Blue"};
const std::vector<std::string> kGrey = {"Gray scale"};

// What each picture of the corpus holds, from its MANIFEST description.
const std::map<std::string, TExpected> kExpected = {
    {"gif/anim_24frames_14x25.gif", {kRgb, 24, 14, 25}},
    {"gif/anim_dispose_previous.gif", {kRgb, 5, 100, 100}},
    {"gif/anim_dispose_background.gif", {kRgb, 5, 100, 100}},
    {"png/gray8_cell_550x660.png", {kGrey, 1, 550, 660}},
    {"png/gray8_camera_512.png", {kGrey, 1, 512, 512}},
    {"png/rgb8_chelsea_451x300.png", {kRgb, 1, 451, 300}},
    {"png/palette_color_10x10.png", {kRgb, 1, 10, 10}},
    {"png/palette_gray_10x10.png", {kGrey, 1, 10, 10}},
    {"jpg/rgb_chelsea_451x300.jpg", {kRgb, 1, 451, 300}},
    {"jpg/gray_hopper_128.jpg", {kGrey, 1, 128, 128}},
    {"bmp/rgb24_chelsea_451x300.bmp", {kRgb, 1, 451, 300}},
    {"bmp/pal8_127x64.bmp", {kRgb, 1, 127, 64}},
    {"bmp/rgb24_127x64.bmp", {kRgb, 1, 127, 64}},
};

// The picture files the MANIFEST lists.
std::vector<std::string> CorpusPictures(const std::filesystem::path& dir) {
  std::ifstream manifest(dir / "MANIFEST.tsv");
  std::vector<std::string> names;
  std::string line;
  std::getline(manifest, line);  // column names
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::stringstream row(line);
    for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
    if (fields.size() > 6 && (fields[6] == "GIF" || fields[6] == "PNG" || fields[6] == "JPEG" || fields[6] == "BMP"))
      names.push_back(fields[0]);
  }
  return names;
}

TEST(CommonFormatCorpus, EveryPictureOpensWithItsChannelsAndFrames) {
  ORBELIN_REQUIRE_CORPUS(dir);
  const std::vector<std::string> pictures = CorpusPictures(dir);
  ASSERT_FALSE(pictures.empty());
  for (const std::string& name : pictures) {
    SCOPED_TRACE(name);
    const auto expected = kExpected.find(name);
    ASSERT_NE(expected, kExpected.end()) << "no expectation for this picture";
    TCommonFormatReader reader;
    reader.Open((dir / name).string());
    std::vector<std::string> channels;
    for (const auto& channel : reader.StackInfo().Channels) channels.push_back(channel.Name);
    EXPECT_EQ(channels, expected->second.Channels);
    EXPECT_EQ(reader.PositionCount(), expected->second.Frames);
    EXPECT_EQ(reader.Width(), expected->second.Width);
    EXPECT_EQ(reader.Height(), expected->second.Height);
    // The last image decodes to a whole plane.
    TWordDynArray plane;
    ASSERT_TRUE(reader.ReadImage(reader.StackInfo().ImageCount - 1, plane));
    EXPECT_EQ(plane.size(), size_t(reader.Width()) * size_t(reader.Height()));
  }
}

}  // namespace
}  // namespace orbelin
