#include "analysis/CellData.h"

#include <utility>

#include "foundation/Exceptions.h"

namespace orbelin {

TCellData::TCellData(std::unique_ptr<TCellShapes> shapes) : shapes_(std::move(shapes)) {
  if (!shapes_) RaiseError<EArgumentOutOfRange>("A cell needs its shapes.");
  NeedsAnalysis = true;
}

void TCellData::ResizeArrays(int32_t channelCount) {
  size_t n = channelCount > 0 ? static_cast<size_t>(channelCount) : 0;
  ObjectSize.resize(n);
  ObjectCount.resize(n);
  Centroid.resize(n);
  SignalCentroid.resize(n);
  TotalSignal.resize(n);
  MeanBoundaryDistance.resize(n);
  MeanCenterDistance.resize(n);
  MeanNuclearCenterDistance.resize(n);
  MeanNucleusDistance.resize(n);
  SizeOnNucleus.resize(n);
  SignalBoundaryDistance.resize(n);
  SignalCenterDistance.resize(n);
  SignalNuclearCenterDistance.resize(n);
  SignalNucleusDistance.resize(n);
  SignalOnNucleus.resize(n);
  CoverageAngle.resize(n);
  CiliumLength.resize(n);
}

}  // namespace orbelin
