#pragma once
// Distances from many pixels to one closed outline, equal to PolygonDistance
// but skipping the segments that cannot be nearer than the best one found.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/Types.h"

namespace orbelin {

class TOutlineDistance {
public:
  explicit TOutlineDistance(const TPoints& polygon);
  // PolygonDistance(polygon, x, y), bit for bit.
  double operator()(int32_t x, int32_t y);

private:
  struct TSegment {
    TPoint a, b;
    int32_t left, top, right, bottom;  // bounding box, inclusive
  };
  std::vector<TSegment> segments_;
  size_t last_ = 0;  // the segment nearest to the previous pixel: a good first guess
};

}  // namespace orbelin
