#include "analysis/MtocMarker.h"

#include <cmath>

#include "analysis/CellData.h"

namespace orbelin {

void PlaceMtocMarker(TCellData& cell, int32_t m, bool frameIsShown) {
  const TPointF centre = cell.SignalCentroid.at(static_cast<size_t>(m));
  const TPoint detected{static_cast<int32_t>(std::nearbyint(centre.x)),
                        static_cast<int32_t>(std::nearbyint(centre.y))};
  TCellShapes& shapes = cell.Shapes();
  if (!shapes.HasMarker()) {
    shapes.PlaceMarker(detected, frameIsShown);
    cell.MtocDetected = detected;
    cell.MtocPosition = detected;
    return;
  }
  // A marker still on the last detected place has not been moved by the user.
  if (shapes.MarkerPoint() == cell.MtocDetected) shapes.SetMarkerPoint(detected);
  cell.MtocDetected = detected;
  cell.MtocPosition = shapes.MarkerPoint();
}

}  // namespace orbelin
