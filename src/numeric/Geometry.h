#pragma once
// Small geometric routines on integer image points and polygons: distances,
// the distance to a closed outline, centroid and area, bounding boxes,
// translation, outline simplification and the regular marker polygons.
// A polygon is a point list read as closed (the last point connects back to
// the first). None of these routines raises errors.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

struct TPointD {
  double x = 0;
  double y = 0;
  friend bool operator==(const TPointD&, const TPointD&) = default;
};

// Returned by PolygonDistance for outlines of fewer than 3 points.
inline constexpr double kNoPolygonDistance = 1e38;

int64_t SquaredDistance(int32_t dx, int32_t dy);
int64_t PointSquaredDistance(const TPoint& a, const TPoint& b);
double IntDistance(int32_t dx, int32_t dy);
double Distance(double dx, double dy);

// Distance from p to the segment a–b (the nearer end point where the foot of
// the perpendicular falls outside the segment).
double SegmentDistance(const TPoint& p, const TPoint& a, const TPoint& b);
// Distance from (x, y) to the closed outline; kNoPolygonDistance below 3 points.
double PolygonDistance(const TPoints& polygon, int32_t x, int32_t y);

// Area centroid; the vertex mean for a degenerate (zero-area) polygon.
TPointD PolygonCentroid(const TPoints& polygon);
// The centroid with each coordinate rounded half to even.
TPoint PolygonCentroidRounded(const TPoints& polygon);
// Absolute shoelace area; 0 below 3 points.
double PolygonArea(const TPoints& polygon);

// (min x, min y, max x + 1, max y + 1). Callers pass non-empty outlines; an
// empty list still gives (0, 0, 0, 0) rather than reading past the end.
TRect PolygonBounds(const TPoints& points);
// The same, defined as (0, 0, 0, 0) for an empty list.
TRect PointBounds(const TPoints& points);

TPoints TranslatedCopy(const TPoints& points, int32_t dx, int32_t dy);
void Translate(TPoints& points, int32_t dx, int32_t dy);

// Collapses runs of equal consecutive points (the last point is not compared
// with the first). True if anything was removed.
bool RemoveConsecutiveDuplicates(TPoints& points);
// Swaps left/right and top/bottom where they are reversed.
void NormalizeRect(TRect& rect);

// At most n of the input points, chosen greedily by greatest deviation from
// the outline kept so far; stops early once the largest remaining triangle
// area falls below tolerance. Inputs of fewer than n points are copied.
TPoints SimplifyOutline(const TPoints& points, int n, bool closed, double tolerance);

// sides + 1 points around the origin (the last repeats the first), y pointing
// down; empty when sides < 1.
TPoints RegularPolygon(int sides, double startAngle, double ry, double rx);
// Marker outline of shapes 3 to 13 centred on the origin; empty for the shapes
// that are drawn directly or have no outline.
TPoints MarkerShapePolygon(int shape, double ry, double rx);

}  // namespace orbelin
