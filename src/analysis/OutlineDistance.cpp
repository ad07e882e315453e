#include "analysis/OutlineDistance.h"

#include <algorithm>

#include "numeric/Geometry.h"

namespace orbelin {

namespace {

// Squared distance from (x, y) to the box: a lower bound of the squared
// distance to anything inside it.
int64_t BoxSquaredDistance(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int64_t dx = x < left ? int64_t{left} - x : x > right ? int64_t{x} - right : 0;
  const int64_t dy = y < top ? int64_t{top} - y : y > bottom ? int64_t{y} - bottom : 0;
  return dx * dx + dy * dy;
}

}  // namespace

TOutlineDistance::TOutlineDistance(const TPoints& polygon) {
  if (polygon.size() < 3) return;
  segments_.reserve(polygon.size());
  // The closing segment first, as PolygonDistance takes it.
  for (size_t i = 0; i < polygon.size(); ++i) {
    const TPoint a = i == 0 ? polygon.back() : polygon[i - 1];
    const TPoint b = i == 0 ? polygon.front() : polygon[i];
    segments_.push_back({a, b, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
  }
}

double TOutlineDistance::operator()(int32_t x, int32_t y) {
  if (segments_.empty()) return kNoPolygonDistance;
  const TPoint p{x, y};
  double best = SegmentDistance(p, segments_[last_].a, segments_[last_].b);
  size_t bestIndex = last_;
  for (size_t i = 0; i < segments_.size(); ++i) {
    const TSegment& s = segments_[i];
    // A segment whose box lies beyond the best distance cannot be nearer; the
    // margin covers the rounding of the computed distances.
    const double bound = static_cast<double>(BoxSquaredDistance(x, y, s.left, s.top, s.right, s.bottom));
    if (bound > best * best * (1 + 1e-9) + 1e-9) continue;
    const double d = SegmentDistance(p, s.a, s.b);
    if (d < best) {
      best = d;
      bestIndex = i;
    }
  }
  last_ = bestIndex;
  return best;
}

}  // namespace orbelin
