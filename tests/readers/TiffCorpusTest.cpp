#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>

#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

struct TExpected {
  bool accepted;
  int width = 0;
  int height = 0;
  int planes = 0;
};

// What the corpus files hold according to MANIFEST.tsv.
const std::map<std::string, TExpected> kTiffFiles = {
    {"tiff/imagej146_u16_5slices_512_BE.tif", {true, 512, 512, 5}},
    {"tiff/tifffile_u16_11slices_101_LE.tif", {true, 101, 101, 11}},
    {"tiff/scanimage_bigtiff_i16_4frames.tif", {false}},
    {"tiff/chessboard_u16_200_LE.tif", {true, 200, 200, 1}},
    {"tiff/chessboard_u16_200_BE.tif", {true, 200, 200, 1}},
    {"tiff/u16_tiled_16x16.tiff", {true, 16, 16, 1}},
    {"tiff/u8_tiled_lzw.tiff", {false}},
    {"tiff/u16_lzw_16x16.tiff", {false}},
    {"tiff/u16_deflate_16x16.tiff", {false}},
    {"tiff/f32_16x16.tiff", {true, 16, 16, 1}},
    {"tiff/f32_128x128_no_photometric.tiff", {true, 128, 128, 1}},
    {"tiff/u8_3pages_16x16.tiff", {true, 16, 16, 3}},
};

std::vector<std::string> ManifestTiffFiles(const std::filesystem::path& corpus) {
  std::ifstream manifest(corpus / "MANIFEST.tsv");
  std::vector<std::string> names;
  std::string line;
  while (std::getline(manifest, line)) {
    const std::string name = line.substr(0, line.find('\t'));
    if (name.rfind("tiff/", 0) == 0) names.push_back(name);
  }
  return names;
}

TWordDynArray ReadPlane(const std::filesystem::path& path, int index) {
  TFileStream stream(path.string());
  TWordDynArray plane;
  int width = 0, height = 0, planes = 0;
  double pixelSize = 0;
  EXPECT_TRUE(ReadTiffPlane(stream, index, plane, width, height, planes, pixelSize)) << path << " " << index;
  return plane;
}

TEST(TiffCorpus, GreyUncompressedFilesOpenAndTheOthersAreDeclined) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  const auto names = ManifestTiffFiles(corpus);
  ASSERT_FALSE(names.empty());
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    const auto found = kTiffFiles.find(name);
    ASSERT_NE(found, kTiffFiles.end()) << "new corpus file: add what it holds to the table";
    const TExpected& expected = found->second;
    TFileStream stream((corpus / name).string());
    TWordDynArray plane;
    int width = 0, height = 0, planes = 0;
    double pixelSize = 0;
    ASSERT_EQ(ReadTiffPlane(stream, -1, plane, width, height, planes, pixelSize), expected.accepted);
    if (!expected.accepted) {
      EXPECT_FALSE(ReadTiffPlane(stream, 0, plane, width, height, planes, pixelSize));
      continue;
    }
    EXPECT_EQ(width, expected.width);
    EXPECT_EQ(height, expected.height);
    EXPECT_EQ(planes, expected.planes);
    for (int index = 0; index < planes; ++index) {
      ASSERT_TRUE(ReadTiffPlane(stream, index, plane, width, height, planes, pixelSize)) << index;
      EXPECT_EQ(plane.size(), static_cast<size_t>(width) * height);
    }
    EXPECT_FALSE(ReadTiffPlane(stream, planes, plane, width, height, planes, pixelSize));
  }
}

TEST(TiffCorpus, SamplesMatchAcrossByteOrdersAndKnownRanges) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  const TWordDynArray little = ReadPlane(corpus / "tiff/chessboard_u16_200_LE.tif", 0);
  EXPECT_EQ(little, ReadPlane(corpus / "tiff/chessboard_u16_200_BE.tif", 0));
  const auto [low, high] = std::minmax_element(little.begin(), little.end());
  EXPECT_LT(*low, *high);

  // A real microscope frame written big-endian by ImageJ; its description gives the range.
  const TWordDynArray frame = ReadPlane(corpus / "tiff/imagej146_u16_5slices_512_BE.tif", 0);
  const auto [frameLow, frameHigh] = std::minmax_element(frame.begin(), frame.end());
  EXPECT_EQ(*frameLow, 477);
  EXPECT_EQ(*frameHigh, 563);

  // Float planes are stretched over the whole 16-bit range.
  const TWordDynArray stretched = ReadPlane(corpus / "tiff/f32_128x128_no_photometric.tiff", 0);
  EXPECT_EQ(*std::min_element(stretched.begin(), stretched.end()), 0);
  EXPECT_EQ(*std::max_element(stretched.begin(), stretched.end()), 65535);
}

}  // namespace
}  // namespace orbelin
