#pragma once
// A one-point marker (the detected or user-placed MTOC), drawn as a marker
// shape of MarkerSize view pixels and dragged as a whole.
#include "roi/RegionOfInterest.h"

namespace orbelin {

class TROIDot : public TRegionOfInterest {
public:
  explicit TROIDot(TRoiGroup* group = nullptr);

  // Outline and fill share the colour.
  void SetColor(TColor value) override;
  void Draw(QPainter& canvas, bool enabledLook, bool selected) override;
  THitKind HitTest(int32_t x, int32_t y, int32_t& pointIndex) const override;
  const char* ClassName() const override { return "TROIDot"; }
};

}  // namespace orbelin
