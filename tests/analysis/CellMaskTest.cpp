#include "analysis/CellMask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace orbelin {
namespace {

// Renders the mask as rows of '#' and '.' for readable failures.
std::string Picture(const TByteDynArray& mask, int32_t w, int32_t h) {
  std::string s;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) s += mask[static_cast<size_t>(y) * w + x] ? '#' : '.';
    s += '\n';
  }
  return s;
}

std::string Expected(int32_t w, int32_t h, const std::function<bool(int32_t, int32_t)>& inside) {
  std::string s;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) s += inside(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

TEST(CellMaskTest, FilledPolygonIncludesItsOutline) {
  TByteDynArray mask;
  RasterizeCellMask(mask, 8, 6, {{1, 1}, {5, 1}, {5, 4}, {1, 4}}, 0, 0);
  EXPECT_EQ(Picture(mask, 8, 6),
            Expected(8, 6, [](int32_t x, int32_t y) { return x >= 1 && x <= 5 && y >= 1 && y <= 4; }));

  // Triangle with a 45° edge through pixel centres, given shifted by (−10, −20).
  RasterizeCellMask(mask, 9, 9, {{10, 20}, {16, 20}, {10, 26}}, -10, -20);
  EXPECT_EQ(Picture(mask, 9, 9), Expected(9, 9, [](int32_t x, int32_t y) { return x + y <= 6; }));

  // A one-pixel-thin sliver is its outline.
  RasterizeCellMask(mask, 8, 3, {{0, 1}, {7, 1}, {3, 1}}, 0, 0);
  EXPECT_EQ(Picture(mask, 8, 3), Expected(8, 3, [](int32_t, int32_t y) { return y == 1; }));
}

TEST(CellMaskTest, SelfCrossingOutlineUsesTheEvenOddRule) {
  // A pentagram: the central pentagon is crossed twice and stays empty.
  TPoints star;
  for (int k : {0, 2, 4, 1, 3}) {
    const double angle = -M_PI / 2 + k * 2 * M_PI / 5;
    star.push_back({static_cast<int32_t>(std::lround(25 + 20 * std::cos(angle))),
                    static_cast<int32_t>(std::lround(25 + 20 * std::sin(angle)))});
  }
  TByteDynArray mask;
  RasterizeCellMask(mask, 50, 50, star, 0, 0);
  EXPECT_EQ(mask[25 * 50 + 25], 0) << Picture(mask, 50, 50);
  EXPECT_EQ(mask[10 * 50 + 25], 1) << Picture(mask, 50, 50);  // inside the top tip
  for (const TPoint& p : star) EXPECT_EQ(mask[static_cast<size_t>(p.y) * 50 + p.x], 1);
}

TEST(CellMaskTest, PixelsOutsideTheAreaAreDropped) {
  TByteDynArray mask(100, 7);  // a larger buffer than the area keeps its tail
  RasterizeCellMask(mask, 6, 6, {{-5, -5}, {3, -5}, {3, 3}, {-5, 3}}, 0, 0);
  EXPECT_EQ(Picture(mask, 6, 6), Expected(6, 6, [](int32_t x, int32_t y) { return x <= 3 && y <= 3; }));
  EXPECT_EQ(mask[36], 7);

  // Far-reaching outlines cost no more than near ones.
  RasterizeCellMask(mask, 6, 6, {{-2000000000, -2000000000}, {2000000000, -2000000000},
                                 {2000000000, 2000000000}, {-2000000000, 2000000000}}, 1, 1);
  EXPECT_EQ(Picture(mask, 6, 6), Expected(6, 6, [](int32_t, int32_t) { return true; }));
  RasterizeCellMask(mask, 6, 6, {{100, 100}, {110, 100}, {110, 110}}, 0, 0);
  EXPECT_EQ(Picture(mask, 6, 6), Expected(6, 6, [](int32_t, int32_t) { return false; }));
  RasterizeCellMask(mask, 0, 4, {{0, 0}, {3, 0}, {3, 3}}, 0, 0);
}

}  // namespace
}  // namespace orbelin
