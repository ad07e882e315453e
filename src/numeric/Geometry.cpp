#include "numeric/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbelin {

// Sums of products are taken in 64 bits throughout: coordinates beyond about
// 32000 pixels would otherwise overflow a 32-bit sum.

int64_t SquaredDistance(int32_t dx, int32_t dy) {
  return int64_t{dx} * dx + int64_t{dy} * dy;
}

int64_t PointSquaredDistance(const TPoint& a, const TPoint& b) {
  return SquaredDistance(a.x - b.x, a.y - b.y);
}

double IntDistance(int32_t dx, int32_t dy) {
  return std::sqrt(static_cast<double>(SquaredDistance(dx, dy)));
}

double Distance(double dx, double dy) {
  return std::sqrt(dx * dx + dy * dy);
}

double SegmentDistance(const TPoint& p, const TPoint& a, const TPoint& b) {
  const double ab = static_cast<double>(PointSquaredDistance(a, b));
  const double pa = static_cast<double>(PointSquaredDistance(p, a));
  const double pb = static_cast<double>(PointSquaredDistance(p, b));
  if (ab + pb <= pa) return std::sqrt(pb);  // angle at b not acute
  if (ab + pa <= pb) return std::sqrt(pa);  // angle at a not acute
  const double cross = double(b.y - a.y) * p.x - double(b.x - a.x) * p.y +
                       double(b.x) * a.y - double(b.y) * a.x;
  return std::fabs(cross) / std::sqrt(ab);
}

double PolygonDistance(const TPoints& polygon, int32_t x, int32_t y) {
  const size_t n = polygon.size();
  if (n < 3) return kNoPolygonDistance;
  const TPoint p{x, y};
  double best = SegmentDistance(p, polygon[n - 1], polygon[0]);
  for (size_t i = 0; i + 1 < n; ++i) {
    const double d = SegmentDistance(p, polygon[i], polygon[i + 1]);
    if (d < best) best = d;
  }
  return best;
}

TPointD PolygonCentroid(const TPoints& polygon) {
  const size_t n = polygon.size();
  if (n == 0) return {};
  double a2 = 0, sx = 0, sy = 0;
  TPoint prev = polygon[n - 1];
  for (const TPoint& cur : polygon) {
    const double c = double(prev.x) * cur.y - double(cur.x) * prev.y;
    a2 += c;
    sx += c * (double(prev.x) + cur.x);
    sy += c * (double(prev.y) + cur.y);
    prev = cur;
  }
  if (a2 != 0) return {sx / 3 / a2, sy / 3 / a2};
  double mx = 0, my = 0;
  for (const TPoint& q : polygon) {
    mx += q.x;
    my += q.y;
  }
  return {mx / double(n), my / double(n)};
}

TPoint PolygonCentroidRounded(const TPoints& polygon) {
  const TPointD c = PolygonCentroid(polygon);
  return {static_cast<int32_t>(std::nearbyint(c.x)), static_cast<int32_t>(std::nearbyint(c.y))};
}

double PolygonArea(const TPoints& polygon) {
  const size_t n = polygon.size();
  if (n < 3) return 0;
  int64_t sum = 0;
  TPoint prev = polygon[n - 1];
  for (const TPoint& cur : polygon) {
    sum += int64_t{prev.x} * cur.y - int64_t{prev.y} * cur.x;
    prev = cur;
  }
  return static_cast<double>(sum < 0 ? -sum : sum) / 2;
}

TRect PointBounds(const TPoints& points) {
  if (points.empty()) return {};
  TRect r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const TPoint& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  r.right += 1;
  r.bottom += 1;
  return r;
}

TRect PolygonBounds(const TPoints& points) {
  return PointBounds(points);
}

TPoints TranslatedCopy(const TPoints& points, int32_t dx, int32_t dy) {
  TPoints out(points);
  Translate(out, dx, dy);
  return out;
}

void Translate(TPoints& points, int32_t dx, int32_t dy) {
  for (TPoint& p : points) {
    p.x += dx;
    p.y += dy;
  }
}

bool RemoveConsecutiveDuplicates(TPoints& points) {
  const auto end = std::unique(points.begin(), points.end());
  const bool removed = end != points.end();
  points.erase(end, points.end());
  return removed;
}

void NormalizeRect(TRect& rect) {
  if (rect.left > rect.right) std::swap(rect.left, rect.right);
  if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
}

namespace {

// A far-apart pair of a closed outline: repeatedly jump to the point farthest
// from the current one until no point is farther than the best distance so far.
std::pair<size_t, size_t> FarApartPair(const TPoints& points) {
  size_t r = 0, s = 0;
  int64_t best = 0;
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t q = 0; q < points.size(); ++q) {
      if (q == r || q == s) continue;
      const int64_t d = PointSquaredDistance(points[q], points[r]);
      if (d > best) {
        best = d;
        s = q;
        changed = true;
      }
    }
    if (changed) std::swap(r, s);
  }
  return {std::min(r, s), std::max(r, s)};
}

}  // namespace

TPoints SimplifyOutline(const TPoints& points, int n, bool closed, double tolerance) {
  const size_t count = points.size();
  if (count < 2 || count < static_cast<size_t>(std::max(n, 0))) return points;

  std::vector<size_t> kept;
  kept.reserve(std::max<size_t>(static_cast<size_t>(std::max(n, 0)), 2));
  if (closed) {
    const auto [r, s] = FarApartPair(points);
    kept.push_back(r);
    if (s != r) kept.push_back(s);  // all points equal: nothing to pair with
  } else {
    kept.push_back(0);
    kept.push_back(count - 1);
  }

  while (kept.size() >= 2 && kept.size() < static_cast<size_t>(n)) {
    int64_t bestArea = -1;
    size_t bestIndex = 0, insertAfter = 0;
    for (size_t k = 0; k < kept.size(); ++k) {
      const size_t ia = kept[k];
      const size_t ib = kept[(k + 1) % kept.size()];
      const TPoint& a = points[ia];
      const TPoint& b = points[ib];
      const int64_t dx = int64_t{b.x} - a.x;
      const int64_t dy = int64_t{b.y} - a.y;
      const int64_t base = int64_t{a.x} * b.y - int64_t{b.x} * a.y;
      // The points strictly between the pair, wrapping past the end of the input.
      for (size_t q = (ia + 1) % count; q != ib && q != ia; q = (q + 1) % count) {
        int64_t area = dy * points[q].x - dx * points[q].y - base;
        if (area < 0) area = -area;
        if (area > bestArea) {
          bestArea = area;
          bestIndex = q;
          insertAfter = k;
        }
      }
    }
    if (bestArea < 0 || tolerance > static_cast<double>(bestArea) / 2) break;
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insertAfter) + 1, bestIndex);
  }

  TPoints out;
  out.reserve(kept.size());
  for (size_t i : kept) out.push_back(points[i]);
  return out;
}

TPoints RegularPolygon(int sides, double startAngle, double ry, double rx) {
  TPoints out;
  if (sides < 1) return out;
  out.reserve(static_cast<size_t>(sides) + 1);
  for (int i = 0; i <= sides; ++i) {
    const double theta = startAngle + i * 2 * std::numbers::pi / sides;
    out.push_back({static_cast<int32_t>(std::nearbyint(rx * std::cos(theta) + 1e-7)),
                   -static_cast<int32_t>(std::nearbyint(ry * std::sin(theta) + 1e-7))});
  }
  return out;
}

TPoints MarkerShapePolygon(int shape, double ry, double rx) {
  struct TShape {
    int sides;
    double startAngle;
  };
  constexpr double pi = std::numbers::pi;
  static constexpr TShape kShapes[] = {
      {4, 0},          {3, pi / 2}, {3, pi},     {3, 0},      {3, 3 * pi / 2}, {5, pi / 2},
      {5, 3 * pi / 2}, {6, pi / 2}, {6, 0},      {8, pi / 2}, {8, 0},
  };
  if (shape < 3 || shape > 13) return {};
  const TShape& s = kShapes[shape - 3];
  return RegularPolygon(s.sides, s.startAngle, ry, rx);
}

}  // namespace orbelin
