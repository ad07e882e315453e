#include "analysis/OutlineDistance.h"

#include <gtest/gtest.h>

#include <random>

#include "numeric/Geometry.h"

namespace orbelin {
namespace {

TEST(OutlineDistanceTest, EqualsTheDistanceToEverySegment) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> coordinate(-20, 120), count(3, 40);
  for (int round = 0; round < 40; ++round) {
    TPoints polygon(static_cast<size_t>(count(random)));
    for (TPoint& p : polygon) p = {coordinate(random), coordinate(random)};
    TOutlineDistance distance(polygon);
    // Pixels in scan order, as the detector asks, and a few jumps.
    for (int32_t y = -5; y < 105; y += 3)
      for (int32_t x = -5; x < 105; x += 2)
        ASSERT_EQ(distance(x, y), PolygonDistance(polygon, x, y)) << round << ": " << x << "," << y;
    for (int k = 0; k < 50; ++k) {
      const int32_t x = coordinate(random), y = coordinate(random);
      ASSERT_EQ(distance(x, y), PolygonDistance(polygon, x, y));
    }
  }
  TOutlineDistance line({{0, 0}, {5, 5}});
  EXPECT_EQ(line(1, 1), kNoPolygonDistance);
}

}  // namespace
}  // namespace orbelin
