#include "roi/RoiDot.h"

#include <algorithm>

#include "roi/RoiGroup.h"

namespace orbelin {

TROIDot::TROIDot(TRoiGroup* group) : TRegionOfInterest(group, true) { HandleSize = 4; }

void TROIDot::SetColor(TColor value) {
  BeginUpdate();
  SetFillColor(value);
  TRegionOfInterest::SetColor(value);
  EndUpdate();
}

THitKind TROIDot::HitTest(int32_t x, int32_t y, int32_t& pointIndex) const {
  pointIndex = 0;
  const int64_t radius = Selected() ? std::max(5, HandleSize + MarkerSize() - 1) - 1 : std::max(MarkerSize(), 5) - 1;
  const TPoint& p = points_[0];
  const int64_t dx = static_cast<int64_t>(x) - p.x;
  const int64_t dy = static_cast<int64_t>(y) - p.y;
  return dx * dx + dy * dy <= radius * radius ? kHitVertex : kHitNone;
}

void TROIDot::Draw(QPainter& canvas, bool enabledLook, bool selected) {
  const TPoint at = ToView(points_[0]);
  const TColor look = Enabled() ? Color() : EffectiveDisabledColor();
  const TRoiBrush brush = Filled() ? CreateBrush(Enabled() ? FillColor() : look, BrushStyle) : std::nullopt;
  DrawMarker(canvas, at.x, at.y, brush, CreatePen(look, PenWidth(), PenStyle()), MarkerShape(), MarkerSize());
  if (selected) {
    const TColor ring = enabledLook ? EffectiveSelectionColor() : EffectiveDisabledColor();
    DrawMarker(canvas, at.x, at.y, std::nullopt, CreatePen(ring, 2, psDot), MarkerShape(),
               HandleSize + MarkerSize() - 2);
  }
}

}  // namespace orbelin
