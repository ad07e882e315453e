#include "numeric/StructureElement.h"

#include <algorithm>

#include "foundation/Exceptions.h"
#include "numeric/Geometry.h"

namespace orbelin {

namespace {

void CheckSize(int32_t r, int32_t a) {
  if (r < 0 || a < 0) RaiseError<ELatticeError>("Size of structure element cannot be negative.");
}

TStructureElement Built(int32_t r, int32_t a) {
  TStructureElement element;
  MakeBandedCross(element, r, a);
  return element;
}

}  // namespace

void MakeSquare(TStructureElement& element, int32_t r) {
  CheckSize(r, 0);
  MakeBandedCross(element, r, r);
}

void MakeBandedCross(TStructureElement& element, int32_t r, int32_t a) {
  CheckSize(r, a);
  a = std::min(a, r);
  element.Points.clear();
  element.Points.reserve(size_t(2 * int64_t{a} + 1) * size_t(4 * int64_t{r} - 2 * int64_t{a} + 1));
  for (int32_t dy = -r; dy <= r; ++dy) {
    const int32_t c = (dy > a || dy < -a) ? a : r;
    for (int32_t dx = -c; dx <= c; ++dx) element.Points.push_back({dx, dy});
  }
}

int32_t PointCount(const TStructureElement& element) {
  return int32_t(element.Points.size());
}

TPoint PointAt(const TStructureElement& element, int32_t i) {
  if (i < 0 || size_t(i) >= element.Points.size())
    RaiseErrorFmt<EArgumentOutOfRange>("Point index %d out of range.", i);
  return element.Points[size_t(i)];
}

int32_t PointX(const TStructureElement& element, int32_t i) {
  return PointAt(element, i).x;
}

int32_t PointY(const TStructureElement& element, int32_t i) {
  return PointAt(element, i).y;
}

TPoint NearestToOrigin(const TStructureElement& element) {
  if (element.Points.empty()) return {};
  TPoint best = element.Points[0];
  int64_t bestDistance = SquaredDistance(best.x, best.y);
  for (const TPoint& p : element.Points) {
    const int64_t d = SquaredDistance(p.x, p.y);
    if (d < bestDistance) {
      bestDistance = d;
      best = p;
    }
  }
  return best;
}

const TStructureElement SquareElement = Built(1, 1);
const TStructureElement CrossElement = Built(1, 0);

}  // namespace orbelin
