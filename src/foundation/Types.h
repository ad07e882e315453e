#pragma once
// Value types shared by every layer: planes of 16-bit samples, integer and
// float points, rectangles with exclusive right and bottom.
#include <cstdint>
#include <vector>

namespace orbelin {

// One channel plane: width × height unsigned 16-bit samples, row-major, top row first.
using TWordDynArray = std::vector<uint16_t>;
using TByteDynArray = std::vector<uint8_t>;
using TCardinalDynArray = std::vector<uint32_t>;

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TPointF {
  float x = 0;
  float y = 0;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

// left and top inclusive, right and bottom exclusive.
struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

using TPoints = std::vector<TPoint>;
using TPointFs = std::vector<TPointF>;
using TIntegers = std::vector<int32_t>;

}  // namespace orbelin
