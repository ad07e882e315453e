#include <png.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "cli/Commands.h"
#include "fixtures/TiffWriter.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

struct TPng {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;
};

TPng ReadPng(const std::string& path) {
  TPng result;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
  image.format = PNG_FORMAT_RGB;
  result.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.rgb.data(), 0, nullptr)) return {};
  result.width = image.width;
  result.height = image.height;
  return result;
}

// Two sibling channel files of 4 × 2 pixels and two frames each.
struct RenderCommand : ::testing::Test {
  test::TempDir dir;
  std::string green = dir.File("cell-G.tif");
  std::string red = dir.File("cell-R.tif");
  std::string out = dir.File("out.png");

  void SetUp() override {
    fixtures::TTiffOptions options;
    test::WriteFile(green, fixtures::WriteTiff(options, 4, 2, {{0, 0, 0, 0, 255, 255, 255, 255}, {9, 9, 9, 9, 9, 9, 9, 9}}));
    test::WriteFile(red, fixtures::WriteTiff(options, 4, 2, {{0, 255, 0, 255, 0, 255, 0, 255}, {1, 1, 1, 1, 1, 1, 1, 1}}));
  }
};

TEST_F(RenderCommand, WritesTheCompositeOfSiblingChannels) {
  ASSERT_EQ(cli::RunRender({green, "--contrast", "-1", "--out", out}), 0);
  const TPng png = ReadPng(out);
  ASSERT_EQ(png.width, 4u);
  ASSERT_EQ(png.height, 2u);
  // Full range of 8 bits: green from cell-G, red from cell-R, no blue.
  EXPECT_EQ(std::vector<uint8_t>(png.rgb.begin(), png.rgb.begin() + 6), (std::vector<uint8_t>{0, 0, 0, 255, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(png.rgb.begin() + 12, png.rgb.begin() + 18),
            (std::vector<uint8_t>{0, 255, 0, 255, 255, 0}));
}

TEST_F(RenderCommand, HalfSizeAveragesAndBadArgumentsFail) {
  ASSERT_EQ(cli::RunRender({green, red, "--contrast", "-1", "--half", "--out", out}), 0);
  const TPng png = ReadPng(out);
  ASSERT_EQ(png.width, 2u);
  ASSERT_EQ(png.height, 1u);
  EXPECT_EQ(std::vector<uint8_t>(png.rgb.begin(), png.rgb.begin() + 3), (std::vector<uint8_t>{128, 128, 0}));

  EXPECT_EQ(cli::RunRender({green, "--frame", "2", "--out", out}), 1);  // only frames 0 and 1
  EXPECT_EQ(cli::RunRender({green}), 2);                                // no --out
  EXPECT_EQ(cli::RunRender({dir.File("missing.tif"), "--out", out}), 1);
}

}  // namespace
}  // namespace orbelin
