#include "analysis/BackgroundSubtraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/AlternatingMorphology.h"
#include "numeric/Morphology.h"
#include "numeric/StructureElement.h"

namespace orbelin {
namespace {

TWordDynArray RandomPlane(int32_t w, int32_t h, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(0, 65535);
  TWordDynArray plane(static_cast<size_t>(w) * h);
  for (auto& v : plane) v = static_cast<uint16_t>(value(random));
  return plane;
}

TEST(AlternatingMorphologyTest, StepsAlternateAndMirror) {
  TWordDynArray plane = RandomPlane(23, 17, 1);
  TLattice image;
  image.Attach(plane, 23, 17);
  TLattice a, b, result, spare;

  // Opening, 3 steps: square, cross, square erosions; square, cross, square dilations.
  Erode(a, image, SquareElement, true);
  Erode(b, a, CrossElement, true);
  Erode(a, b, SquareElement, true);
  Dilate(b, a, SquareElement);
  Dilate(a, b, CrossElement);
  Dilate(b, a, SquareElement);
  AlternatingOpening(result, image, 3, spare);
  EXPECT_EQ(result.Values(), b.Values());

  // Closing, 2 steps: square, cross dilations; cross, square erosions.
  Dilate(a, image, SquareElement);
  Dilate(b, a, CrossElement);
  Erode(a, b, CrossElement, true);
  Erode(b, a, SquareElement, true);
  AlternatingClosing(result, image, 2, spare);
  EXPECT_EQ(result.Values(), b.Values());

  // n <= 1: one square step of each kind.
  Erode(a, image, SquareElement, true);
  Dilate(b, a, SquareElement);
  for (int32_t n : {1, 0, -3}) {
    AlternatingOpening(result, image, n, spare);
    EXPECT_EQ(result.Values(), b.Values()) << n;
  }
}

TEST(BackgroundSubtractionTest, TopHatKeepsSmallSpotsOverAFlatBackground) {
  // The border counts as bright for the erosion, so a flat plane is its own background.
  const int32_t w = 60, h = 50;
  TWordDynArray plane(static_cast<size_t>(w) * h, 500);
  for (int32_t y = 20; y < 23; ++y)
    for (int32_t x = 30; x < 33; ++x) plane[static_cast<size_t>(y) * w + x] = 2000;
  SubtractBackground(plane, w, h, 8);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool spot = y >= 20 && y < 23 && x >= 30 && x < 33;
      ASSERT_EQ(plane[static_cast<size_t>(y) * w + x], spot ? 1500 : 0) << x << "," << y;
    }
}

// Halving by 2×2 minimum, the opening with radius r − 1 and enlarging, written out.
TWordDynArray OneLevelPyramid(const TWordDynArray& plane, int32_t w, int32_t h, int32_t r) {
  const int32_t hw = (w + 1) / 2, hh = (h + 1) / 2;
  TWordDynArray half(static_cast<size_t>(hw) * hh, 65535);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint16_t& m = half[static_cast<size_t>(y / 2) * hw + x / 2];
      m = std::min(m, plane[static_cast<size_t>(y) * w + x]);
    }
  TLattice image, opened, spare;
  image.Attach(half, hw, hh);
  AlternatingOpening(opened, image, r - 1, spare);
  TWordDynArray full(plane.size());
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      full[static_cast<size_t>(y) * w + x] = opened.Values()[static_cast<size_t>(y / 2) * hw + x / 2];
  return full;
}

TEST(BackgroundSubtractionTest, OneSideAbove800TakesThePyramidWithRadiusLessOne) {
  const TWordDynArray plane = RandomPlane(1000, 600, 2);
  TWordDynArray background;
  EstimateBackground(background, plane, 1000, 600, 8);
  EXPECT_EQ(background, OneLevelPyramid(plane, 1000, 600, 8));

  // Odd sizes: the last column and row form clipped blocks.
  const TWordDynArray odd = RandomPlane(1601, 3, 3);
  EstimateBackground(background, odd, 1601, 3, 9);
  EXPECT_EQ(background, OneLevelPyramid(odd, 1601, 3, 9));

  // At 800 × 800 the opening runs on the plane itself.
  const TWordDynArray small = RandomPlane(800, 40, 4);
  EstimateBackground(background, small, 800, 40, 8);
  TWordDynArray copy = small;
  TLattice image, opened, spare;
  image.Attach(copy, 800, 40);
  AlternatingOpening(opened, image, 8, spare);
  EXPECT_EQ(background, opened.Values());
}

TEST(BackgroundSubtractionTest, BothSidesAbove800HalveTwice) {
  // 1700 × 1700 halves to 850 × 850, still above 800 on both sides, then to
  // 425 × 425 with radius r − 2: a nested pyramid.
  const TWordDynArray plane = RandomPlane(1700, 1700, 5);
  TWordDynArray background;
  EstimateBackground(background, plane, 1700, 1700, 10);
  TWordDynArray half(850 * 850, 65535);
  for (int32_t y = 0; y < 1700; ++y)
    for (int32_t x = 0; x < 1700; ++x) {
      uint16_t& m = half[static_cast<size_t>(y / 2) * 850 + x / 2];
      m = std::min(m, plane[static_cast<size_t>(y) * 1700 + x]);
    }
  const TWordDynArray halfBackground = OneLevelPyramid(half, 850, 850, 9);
  for (int32_t y = 0; y < 1700; y += 7)
    for (int32_t x = 0; x < 1700; x += 5)
      ASSERT_EQ(background[static_cast<size_t>(y) * 1700 + x],
                halfBackground[static_cast<size_t>(y / 2) * 850 + x / 2]);
}

}  // namespace
}  // namespace orbelin
