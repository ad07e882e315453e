#pragma once
// A cell as the frame store sees it. The analysis derives its cell record from
// this; the store only needs the identities of the two ROIs, the
// needs-analysis flag and a way to hand the ROIs over without freeing them.
// ROIs are GUI-side objects, known here only by their address.
#include <memory>
#include <vector>

namespace orbelin {

class TRegionOfInterest;

class TCellBase {
public:
  virtual ~TCellBase() = default;
  // The outline polyline; never null for a cell in a frame.
  virtual TRegionOfInterest* OutlineRoi() const = 0;
  // The optional dot marker, or null.
  virtual TRegionOfInterest* DotRoi() const = 0;
  // Stops owning both ROIs, which another owner has taken over; destroying the
  // cell afterwards leaves them alive.
  virtual void ReleaseRois() = 0;

  bool NeedsAnalysis = true;
};

using TCellDatas = std::vector<std::unique_ptr<TCellBase>>;

}  // namespace orbelin
