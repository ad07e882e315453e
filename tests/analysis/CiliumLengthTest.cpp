#include "analysis/CiliumLength.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin {
namespace {

TWordDynArray Image(int32_t w, int32_t h, const TPoints& set, uint16_t value = 300) {
  TWordDynArray image(static_cast<size_t>(w) * h, 0);
  for (const TPoint& p : set) image[static_cast<size_t>(p.y) * w + p.x] = value;
  return image;
}

TEST(CiliumLengthTest, SkeletonPixelsWithDiagonalSteps) {
  TPoints straight, diagonal;
  for (int32_t i = 0; i < 10; ++i) {
    straight.push_back({3 + i, 5});
    diagonal.push_back({2 + i, 1 + i});
  }
  EXPECT_DOUBLE_EQ(CiliumLength(Image(20, 12, straight), 20), 10);
  EXPECT_DOUBLE_EQ(CiliumLength(Image(20, 12, diagonal), 20), 10 + 9 * (std::sqrt(2.0) - 1));
  EXPECT_DOUBLE_EQ(CiliumLength(Image(20, 12, {{0, 0}}), 20), 1);
  EXPECT_DOUBLE_EQ(CiliumLength(Image(20, 12, {{19, 11}}), 20), 1);
  EXPECT_DOUBLE_EQ(CiliumLength(Image(20, 12, {}), 20), 0);
  EXPECT_DOUBLE_EQ(CiliumLength({}, 0), 0);
}

TEST(CiliumLengthTest, ThickObjectsThinToAOnePixelLine) {
  // A 3-pixel-thick bar of 20 (60 pixels) thins to its middle line plus short
  // spurs at the ends.
  TPoints bar;
  for (int32_t x = 0; x < 20; ++x)
    for (int32_t y = 4; y < 7; ++y) bar.push_back({x + 2, y});
  const double length = CiliumLength(Image(30, 12, bar), 30);
  EXPECT_GE(length, 18);
  EXPECT_LE(length, 24);
}

}  // namespace
}  // namespace orbelin
