#pragma once
// TCellData: one hand-drawn cell of a frame with the results of its last
// analysis. The per-channel arrays are indexed by channel and resized to the
// channel count whenever the cell is analysed; a channel that is not analysed
// keeps its earlier values. The cell owns its outline and marker: destroying
// the cell frees both unless they were released first.
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/CellShapes.h"
#include "document/Cell.h"
#include "foundation/Types.h"

namespace orbelin {

class TCellData final : public TCellBase {
public:
  // A new cell needs analysis and has no marker unless shapes bring one.
  explicit TCellData(std::unique_ptr<TCellShapes> shapes);

  TCellShapes& Shapes() const { return *shapes_; }
  const TPoints& OutlinePoints() const { return shapes_->OutlinePoints(); }

  TRegionOfInterest* OutlineRoi() const override { return shapes_->OutlineRoi(); }
  TRegionOfInterest* DotRoi() const override { return shapes_->MarkerRoi(); }
  void ReleaseRois() override { shapes_->Release(); }

  // Resizes all per-channel arrays, keeping existing values; new entries are 0.
  void ResizeArrays(int32_t channelCount);

  // Where the analysis last placed the marker, and where the marker is now
  // (moved by the user or by the analysis). They differ after a manual correction.
  TPoint MtocDetected;
  TPoint MtocPosition;

  TCardinalDynArray ObjectSize;                   // object pixels with non-zero intensity
  TCardinalDynArray ObjectCount;                  // particles
  TPointFs Centroid;                              // mean object pixel position, image pixels
  TPointFs SignalCentroid;                        // intensity-weighted mean position
  std::vector<uint64_t> TotalSignal;              // Σ object intensities
  std::vector<double> MeanBoundaryDistance;       // to the cell outline
  std::vector<double> MeanCenterDistance;         // to the cell centre
  std::vector<double> MeanNuclearCenterDistance;  // to the nuclear centre
  std::vector<double> MeanNucleusDistance;        // to the nearest nucleus pixel
  TCardinalDynArray SizeOnNucleus;                // object pixels that are nucleus pixels
  std::vector<double> SignalBoundaryDistance;     // intensity-weighted means of the same four
  std::vector<double> SignalCenterDistance;
  std::vector<double> SignalNuclearCenterDistance;
  std::vector<double> SignalNucleusDistance;
  TCardinalDynArray SignalOnNucleus;              // Σ intensities on the nucleus, wraps at 2^32
  std::vector<double> CoverageAngle;              // share of the nuclear rim covered, degrees
  std::vector<double> CiliumLength;               // skeleton length, pixels

private:
  std::unique_ptr<TCellShapes> shapes_;
};

}  // namespace orbelin
