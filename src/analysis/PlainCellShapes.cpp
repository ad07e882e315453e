#include "analysis/PlainCellShapes.h"

#include <utility>

namespace orbelin {

TPlainCellShapes::TPlainCellShapes(TPoints outline, std::optional<TPoint> marker)
    : outline_(std::move(outline)), marker_(marker) {}

void TPlainCellShapes::SetMarkerPoint(const TPoint& point) {
  // Moving a marker that does not exist creates nothing, as with a freed ROI.
  if (marker_) marker_ = point;
}

void TPlainCellShapes::PlaceMarker(const TPoint& point, bool /*shown*/) { marker_ = point; }

}  // namespace orbelin
