#include "numeric/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orbelin {
namespace {

const TPoints kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

TEST(GeometryTest, SegmentDistanceUsesPerpendicularOrNearerEnd) {
  struct Case {
    TPoint p;
    double expected;
  };
  const TPoint a{-10, 0}, b{10, 0};
  for (const Case& c : {Case{{0, 5}, 5}, Case{{20, 0}, 10}, Case{{-13, 4}, 5}, Case{{3, 0}, 0},
                        Case{{0, -7}, 7}, Case{{10, 0}, 0}}) {
    EXPECT_DOUBLE_EQ(SegmentDistance(c.p, a, b), c.expected) << c.p.x << "," << c.p.y;
    EXPECT_DOUBLE_EQ(SegmentDistance(c.p, b, a), c.expected) << "reversed " << c.p.x;
  }
  // A segment that is a single point measures to that point.
  EXPECT_DOUBLE_EQ(SegmentDistance({3, 4}, {0, 0}, {0, 0}), 5);
}

TEST(GeometryTest, PolygonDistanceToClosedOutline) {
  EXPECT_DOUBLE_EQ(PolygonDistance(kSquare, 5, 0), 0);   // on an edge
  EXPECT_DOUBLE_EQ(PolygonDistance(kSquare, 0, 5), 0);   // on the closing edge
  EXPECT_DOUBLE_EQ(PolygonDistance(kSquare, 5, 3), 3);   // inside
  EXPECT_DOUBLE_EQ(PolygonDistance(kSquare, 13, 14), 5);  // outside, nearest a corner
  EXPECT_EQ(PolygonDistance({{0, 0}, {10, 0}}, 5, 5), 1e38);
  EXPECT_EQ(PolygonDistance({}, 0, 0), 1e38);
}

TEST(GeometryTest, DistancesAreExactForLargeCoordinates) {
  EXPECT_EQ(SquaredDistance(-3, 4), 25);
  EXPECT_EQ(SquaredDistance(100000, 100000), 20000000000LL);
  EXPECT_EQ(PointSquaredDistance({1, 2}, {4, 6}), 25);
  EXPECT_DOUBLE_EQ(IntDistance(3, -4), 5);
  EXPECT_DOUBLE_EQ(IntDistance(60000, 80000), 100000);
  EXPECT_DOUBLE_EQ(Distance(1.5, 2.0), 2.5);
}

TEST(GeometryTest, SquareAreaCentroidBounds) {
  EXPECT_DOUBLE_EQ(PolygonArea(kSquare), 100);
  TPoints reversed(kSquare.rbegin(), kSquare.rend());
  EXPECT_DOUBLE_EQ(PolygonArea(reversed), 100);
  EXPECT_EQ(PolygonCentroid(kSquare), (TPointD{5, 5}));
  EXPECT_EQ(PolygonCentroid(reversed), (TPointD{5, 5}));
  EXPECT_EQ(PolygonBounds(kSquare), (TRect{0, 0, 11, 11}));
  EXPECT_EQ(PointBounds(TranslatedCopy(kSquare, -20, 7)), (TRect{-20, 7, -9, 18}));
  EXPECT_EQ(PointBounds({}), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(PolygonBounds({}), (TRect{0, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(PolygonArea({{0, 0}, {5, 5}}), 0);
  // Far from the origin the area sum needs more than 32 bits.
  EXPECT_DOUBLE_EQ(PolygonArea(TranslatedCopy(kSquare, 50000, 50000)), 100);
}

TEST(GeometryTest, CentroidOfTriangleAndDegenerateOutlines) {
  const TPointD t = PolygonCentroid({{0, 0}, {6, 0}, {0, 3}});
  EXPECT_DOUBLE_EQ(t.x, 2);
  EXPECT_DOUBLE_EQ(t.y, 1);
  // Collinear: zero area, so the vertex mean.
  EXPECT_EQ(PolygonCentroid({{0, 0}, {1, 1}, {5, 5}}), (TPointD{2, 2}));
  EXPECT_EQ(PolygonCentroid({{4, 7}}), (TPointD{4, 7}));
  EXPECT_EQ(PolygonCentroid({}), (TPointD{0, 0}));
}

TEST(GeometryTest, CentroidRoundsHalfToEven) {
  // Mean of the vertices: (2.5, 3.5) → (2, 4); (0.5, -0.5) → (0, 0).
  EXPECT_EQ(PolygonCentroidRounded({{0, 0}, {5, 7}}), (TPoint{2, 4}));
  EXPECT_EQ(PolygonCentroidRounded({{0, 0}, {1, -1}}), (TPoint{0, 0}));
  EXPECT_EQ(PolygonCentroidRounded(kSquare), (TPoint{5, 5}));
}

TEST(GeometryTest, TranslateInPlaceAndCopyLeavesSource) {
  TPoints pts{{1, 2}, {-3, 4}};
  const TPoints copy = TranslatedCopy(pts, 10, -10);
  EXPECT_EQ(pts, (TPoints{{1, 2}, {-3, 4}}));
  EXPECT_EQ(copy, (TPoints{{11, -8}, {7, -6}}));
  Translate(pts, 10, -10);
  EXPECT_EQ(pts, copy);
}

TEST(GeometryTest, RemoveConsecutiveDuplicates) {
  TPoints pts{{1, 1}, {1, 1}, {2, 2}, {1, 1}};
  EXPECT_TRUE(RemoveConsecutiveDuplicates(pts));
  EXPECT_EQ(pts, (TPoints{{1, 1}, {2, 2}, {1, 1}}));
  EXPECT_FALSE(RemoveConsecutiveDuplicates(pts));
  TPoints run{{3, 3}, {3, 3}, {3, 3}};
  EXPECT_TRUE(RemoveConsecutiveDuplicates(run));
  EXPECT_EQ(run, (TPoints{{3, 3}}));
  TPoints empty;
  EXPECT_FALSE(RemoveConsecutiveDuplicates(empty));
}

TEST(GeometryTest, NormalizeRect) {
  TRect r{10, 20, 5, 2};
  NormalizeRect(r);
  EXPECT_EQ(r, (TRect{5, 2, 10, 20}));
  TRect h{1, 9, 4, 3};
  NormalizeRect(h);
  EXPECT_EQ(h, (TRect{1, 3, 4, 9}));
}

TPoints Circle(int count, double radius) {
  TPoints pts;
  for (int i = 0; i < count; ++i) {
    const double a = 2 * std::numbers::pi * i / count;
    pts.push_back({static_cast<int32_t>(std::lround(radius * std::cos(a))),
                   static_cast<int32_t>(std::lround(radius * std::sin(a)))});
  }
  return pts;
}

// Checks that out is a subsequence of in, read cyclically from some start.
bool IsCyclicSubsequence(const TPoints& out, const TPoints& in) {
  for (size_t start = 0; start < in.size(); ++start) {
    size_t j = 0;
    for (size_t k = 0; k < in.size() && j < out.size(); ++k)
      if (in[(start + k) % in.size()] == out[j]) ++j;
    if (j == out.size()) return true;
  }
  return false;
}

TEST(GeometryTest, SimplifyOutlineOfCircleKeepsLimitOrStopsAtTolerance) {
  const TPoints big = Circle(60, 400);
  const TPoints kept = SimplifyOutline(big, 50, true, 2);
  EXPECT_EQ(kept.size(), 50u);
  EXPECT_TRUE(IsCyclicSubsequence(kept, big));

  // On a small circle the remaining triangles shrink below the tolerance first.
  const TPoints small = Circle(60, 12);
  const TPoints fewer = SimplifyOutline(small, 50, true, 2);
  EXPECT_LT(fewer.size(), 50u);
  EXPECT_GE(fewer.size(), 3u);
  EXPECT_TRUE(IsCyclicSubsequence(fewer, small));
  // Without a tolerance the limit is always reached.
  EXPECT_EQ(SimplifyOutline(small, 50, true, 0).size(), 50u);
}

TEST(GeometryTest, SimplifyOutlineChoosesGreatestDeviation) {
  // Fewer points than the limit: copied unchanged.
  EXPECT_EQ(SimplifyOutline(kSquare, 5, true, 2), kSquare);
  // Open outline: the ends, then the point farthest from their line.
  const TPoints open{{0, 0}, {1, 1}, {2, 5}, {3, 1}, {4, 0}};
  EXPECT_EQ(SimplifyOutline(open, 3, false, 0), (TPoints{{0, 0}, {2, 5}, {4, 0}}));
  // Tolerance above the largest half area (10): stop at the ends.
  EXPECT_EQ(SimplifyOutline(open, 3, false, 10.5), (TPoints{{0, 0}, {4, 0}}));
  EXPECT_EQ(SimplifyOutline(open, 3, false, 10).size(), 3u);
  // Closed: a far pair of the square's corners, then the corner off their diagonal.
  const TPoints square8{{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}, {0, 5}};
  const TPoints corners = SimplifyOutline(square8, 4, true, 2);
  EXPECT_EQ(corners.size(), 4u);
  EXPECT_DOUBLE_EQ(PolygonArea(corners), 100);
  EXPECT_TRUE(IsCyclicSubsequence(corners, square8));
  // Collinear midpoints add no area and the tolerance stops there.
  EXPECT_EQ(SimplifyOutline(square8, 8, true, 2).size(), 4u);
  // All points equal: a single point, never an endless search.
  EXPECT_EQ(SimplifyOutline(TPoints(5, TPoint{2, 2}), 3, true, 0), (TPoints{{2, 2}}));
}

TEST(GeometryTest, RegularPolygonAndMarkerShapes) {
  // A diamond: start angle 0, four sides, y points down.
  EXPECT_EQ(RegularPolygon(4, 0, 3, 5), (TPoints{{5, 0}, {0, -3}, {-5, 0}, {0, 3}, {5, 0}}));
  EXPECT_EQ(MarkerShapePolygon(3, 3, 5), RegularPolygon(4, 0, 3, 5));
  // Shape 4 is an upward triangle: apex on top (negative y).
  const TPoints up = MarkerShapePolygon(4, 4, 4);
  ASSERT_EQ(up.size(), 4u);
  EXPECT_EQ(up.front(), (TPoint{0, -4}));
  EXPECT_EQ(up.back(), up.front());
  // Shape 7 points down, shape 13 is an octagon.
  EXPECT_EQ(MarkerShapePolygon(7, 4, 4).front(), (TPoint{0, 4}));
  EXPECT_EQ(MarkerShapePolygon(13, 4, 4).size(), 9u);
  // The small nudge breaks exact halves upwards: 2.5 → 3 but -2.5 → -2.
  const TPoints half = RegularPolygon(4, 0, 2.5, 2.5);
  EXPECT_EQ(half[0], (TPoint{3, 0}));
  EXPECT_EQ(half[1], (TPoint{0, -3}));
  EXPECT_EQ(half[2], (TPoint{-2, 0}));
  EXPECT_EQ(half[3], (TPoint{0, 2}));
  for (int shape : {0, 1, 2, 14, 16, -1}) EXPECT_TRUE(MarkerShapePolygon(shape, 4, 4).empty()) << shape;
  EXPECT_TRUE(RegularPolygon(0, 0, 4, 4).empty());
}

}  // namespace
}  // namespace orbelin
