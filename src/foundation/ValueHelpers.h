#pragma once
// Small value, rectangle and point operations. Rectangles keep left and top
// inclusive, right and bottom exclusive (Types.h).
#include <algorithm>

#include "foundation/Types.h"

namespace orbelin {

// min when value <= min, max when value > max, else value. Unlike std::clamp
// it is defined for min > max too (the lower test wins).
constexpr int Clamp(int min, int max, int value) {
  if (value <= min) return min;
  if (value > max) return max;
  return value;
}
constexpr void ClampVar(int min, int max, int& value) { value = Clamp(min, max, value); }

// Raises value to at least bound.
constexpr void RaiseTo(int& value, int bound) {
  if (value < bound) value = bound;
}

constexpr int Min3(int a, int b, int c) { return std::min({a, b, c}); }
constexpr int Max3(int a, int b, int c) { return std::max({a, b, c}); }

// Width and height setters keep left and top.
constexpr void SetRectWidth(TRect& rect, int width) { rect.right = rect.left + width; }
constexpr void SetRectHeight(TRect& rect, int height) { rect.bottom = rect.top + height; }

constexpr void OffsetRect(TRect& rect, int dx, int dy) {
  rect.left += dx;
  rect.right += dx;
  rect.top += dy;
  rect.bottom += dy;
}

// Moves each side outwards by the matching side of margins.
constexpr void GrowRect(TRect& rect, const TRect& margins) {
  rect.left -= margins.left;
  rect.top -= margins.top;
  rect.right += margins.right;
  rect.bottom += margins.bottom;
}

// Moves each side inwards by the matching side of margins.
constexpr void ShrinkRect(TRect& rect, const TRect& margins) {
  rect.left += margins.left;
  rect.top += margins.top;
  rect.right -= margins.right;
  rect.bottom -= margins.bottom;
}

// Cuts rect to the inside of bounds (sides only move inwards).
constexpr void CutRect(TRect& rect, const TRect& bounds) {
  rect.left = std::max(rect.left, bounds.left);
  rect.top = std::max(rect.top, bounds.top);
  rect.right = std::min(rect.right, bounds.right);
  rect.bottom = std::min(rect.bottom, bounds.bottom);
}

// Sides below 0 become 0.
constexpr void RaiseNegativeSides(TRect& rect) {
  RaiseTo(rect.left, 0);
  RaiseTo(rect.top, 0);
  RaiseTo(rect.right, 0);
  RaiseTo(rect.bottom, 0);
}

constexpr bool IsZeroPoint(const TPoint& point) { return point.x == 0 && point.y == 0; }

inline TPointF ToPointF(const TPoint& point) {
  return {static_cast<float>(point.x), static_cast<float>(point.y)};
}

}  // namespace orbelin
