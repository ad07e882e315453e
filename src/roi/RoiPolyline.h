#pragma once
// A polygon or open polyline in image pixels: the hand-drawn cell outline and
// the crop frame.
#include "roi/RegionOfInterest.h"

namespace orbelin {

class TRoiPolyline : public TRegionOfInterest {
public:
  explicit TRoiPolyline(TRoiGroup* group = nullptr);

  // Replaces every point by a copy of points.
  void SetPoints(const TPoints& points);

  void Draw(QPainter& canvas, bool enabledLook, bool selected) override;
  // Also takes a dot: the polyline becomes one point at the dot's position.
  void Assign(const TRegionOfInterest* source) override;
  THitKind HitTest(int32_t x, int32_t y, int32_t& pointIndex) const override;
  const char* ClassName() const override { return "TRoiPolyline"; }

  // True when the outline is read as a polygon: filled or closed, and 3 points or more.
  bool IsPolygon() const;
};

}  // namespace orbelin
