#include "document/ChannelInfo.h"

#include <algorithm>

namespace orbelin {

TAlgorithmChannels TChannelInfos::AlgorithmChannels() const {
  TAlgorithmChannels result;
  result.fill(-1);
  for (int32_t i = Count() - 1; i >= 0; --i) result[items_[static_cast<size_t>(i)].Algorithm] = i;
  return result;
}

int32_t TChannelInfos::FrameCount() const {
  int32_t frames = 0;
  for (const auto& info : items_)
    if (info.PositionCount > 0 && (frames == 0 || info.PositionCount < frames)) frames = info.PositionCount;
  return frames;
}

void TChannelData::Initialise() {
  RawPlane = {};
  ProcessedPlane = {};
  MaskPlane = {};
  SmoothingUsed = 0;
  BackgroundRadiusUsed = 0;
  ClearHistogram(Histogram);
  MinValue = 0;
  MaxValue = 65535;
  Background = 0;
}

}  // namespace orbelin
