#pragma once
// Cell shapes held as plain points: for the command line and the tests, where
// no ROI draws them.
#include <optional>

#include "analysis/CellShapes.h"

namespace orbelin {

class TPlainCellShapes final : public TCellShapes {
public:
  explicit TPlainCellShapes(TPoints outline, std::optional<TPoint> marker = std::nullopt);

  const TPoints& OutlinePoints() const override { return outline_; }
  void SetOutlinePoints(TPoints outline) { outline_ = std::move(outline); }

  bool HasMarker() const override { return marker_.has_value(); }
  TPoint MarkerPoint() const override { return marker_.value_or(TPoint{}); }
  void SetMarkerPoint(const TPoint& point) override;
  void PlaceMarker(const TPoint& point, bool shown) override;
  void RemoveMarker() override { marker_.reset(); }

  TRegionOfInterest* OutlineRoi() const override { return nullptr; }
  TRegionOfInterest* MarkerRoi() const override { return nullptr; }
  void Release() override {}

private:
  TPoints outline_;
  std::optional<TPoint> marker_;
};

}  // namespace orbelin
