#include "analysis/CellMask.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace orbelin {

namespace {

struct TPoint64 {
  int64_t x;
  int64_t y;
};

// Products of two coordinate differences need more than 64 bits when an
// outline reaches far outside the image.
__extension__ using TWide = __int128;

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(TWide a, TWide b) { return static_cast<int64_t>(a >= 0 ? a / b : -((-a + b - 1) / b)); }
int64_t CeilDiv(TWide a, TWide b) { return -FloorDiv(-a, b); }

// Sets the pixels of the area inside the row span [x0, x1].
void FillSpan(uint8_t* row, int64_t x0, int64_t x1, int32_t width) {
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, width - 1);
  for (int64_t x = x0; x <= x1; ++x) row[x] = 1;
}

// The one-pixel line from a to b, both ends included: along the major axis
// every step sets the pixel nearest to the exact line (halves rounded up).
// Only the steps whose major coordinate lies inside the area are walked.
void DrawLine(uint8_t* mask, int32_t width, int32_t height, TPoint64 a, TPoint64 b) {
  const int64_t dx = b.x - a.x, dy = b.y - a.y;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const int64_t majorStart = xMajor ? a.x : a.y, minorStart = xMajor ? a.y : a.x;
  const int64_t majorLimit = xMajor ? width : height, minorLimit = xMajor ? height : width;
  const int64_t steps = std::llabs(major), dir = major >= 0 ? 1 : -1;
  // Steps i with majorStart + dir·i inside 0..majorLimit−1.
  int64_t first = 0, last = steps;
  if (dir > 0) {
    first = std::max<int64_t>(first, -majorStart);
    last = std::min<int64_t>(last, majorLimit - 1 - majorStart);
  } else {
    first = std::max<int64_t>(first, majorStart - (majorLimit - 1));
    last = std::min<int64_t>(last, majorStart);
  }
  for (int64_t i = first; i <= last; ++i) {
    const int64_t m = majorStart + dir * i;
    const int64_t n = steps == 0 ? minorStart : minorStart + FloorDiv(TWide{2} * i * minor + steps, TWide{2} * steps);
    if (n < 0 || n >= minorLimit) continue;
    const int64_t x = xMajor ? m : n, y = xMajor ? n : m;
    mask[y * width + x] = 1;
  }
}

}  // namespace

void RasterizeCellMask(TByteDynArray& mask, int32_t width, int32_t height, const TPoints& polygon,
                       int32_t dx, int32_t dy) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (mask.size() < area) mask.resize(area);
  std::fill(mask.begin(), mask.begin() + static_cast<std::ptrdiff_t>(area), uint8_t{0});
  if (area == 0 || polygon.empty()) return;

  std::vector<TPoint64> points(polygon.size());
  for (size_t i = 0; i < polygon.size(); ++i)
    points[i] = {int64_t{polygon[i].x} + dx, int64_t{polygon[i].y} + dy};

  // Interior: the pixel (x, y) is inside when a ray from it crosses the
  // outline an odd number of times; an edge counts on the rows y0 <= y < y1.
  // Pixels exactly on the outline are set by the outline below.
  std::vector<int64_t> crossings;
  crossings.reserve(points.size());
  for (int32_t y = 0; y < height; ++y) {
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      TPoint64 p = points[i], q = points[(i + 1) % points.size()];
      if (p.y == q.y) continue;
      if (p.y > q.y) std::swap(p, q);
      if (y < p.y || y >= q.y) continue;
      // x of the edge on row y, as a fraction num / den with den > 0.
      const TWide den = q.y - p.y;
      const TWide num = TWide{p.x} * den + TWide{y - p.y} * (q.x - p.x);
      crossings.push_back(CeilDiv(num, den));  // first pixel at or right of the crossing
    }
    std::sort(crossings.begin(), crossings.end());
    uint8_t* row = mask.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (size_t k = 0; k + 1 < crossings.size(); k += 2)
      FillSpan(row, crossings[k], crossings[k + 1] - 1, width);
  }

  for (size_t i = 0; i < points.size(); ++i)
    DrawLine(mask.data(), width, height, points[i], points[(i + 1) % points.size()]);
}

}  // namespace orbelin
