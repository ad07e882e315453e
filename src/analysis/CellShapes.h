#pragma once
// The two shapes a cell owns: its outline and the optional MTOC marker. The
// analysis reads and moves them only through this interface, so that it stays
// free of the GUI; the window supplies shapes backed by its ROIs, the command
// line and the tests plain point holders.
#include "foundation/Types.h"

namespace orbelin {

class TRegionOfInterest;

class TCellShapes {
public:
  virtual ~TCellShapes() = default;

  // The outline polygon in image pixels, read as closed.
  virtual const TPoints& OutlinePoints() const = 0;

  virtual bool HasMarker() const = 0;
  // The marker's point; (0, 0) without a marker.
  virtual TPoint MarkerPoint() const = 0;
  virtual void SetMarkerPoint(const TPoint& point) = 0;
  // Creates the marker at point (a white dot, marker size 8, pen width 2).
  // shown: its frame is the one in the view, whose shapes it joins at once.
  virtual void PlaceMarker(const TPoint& point, bool shown) = 0;
  // Frees the marker, if any.
  virtual void RemoveMarker() = 0;

  // The ROIs behind the shapes, for finding a cell from an edited ROI; null
  // where the shapes are not ROIs.
  virtual TRegionOfInterest* OutlineRoi() const = 0;
  virtual TRegionOfInterest* MarkerRoi() const = 0;
  // Stops owning the ROIs, which another owner has taken over.
  virtual void Release() = 0;
};

}  // namespace orbelin
