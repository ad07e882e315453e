#include "document/Frames.h"

#include <algorithm>

namespace orbelin {

namespace {

void InitialiseChannelData(TFrame& frame, const TChannelInfos& channels) {
  frame.ChannelData.resize(static_cast<size_t>(channels.Count()));
  for (auto& data : frame.ChannelData) data.Initialise();
}

}  // namespace

void TFrame::AddCell(std::unique_ptr<TCellBase> cell) {
  cell->NeedsAnalysis = true;
  Cells.push_back(std::move(cell));
  Analysed = false;
}

int32_t TFrame::FindCell(const TRegionOfInterest* roi) const {
  if (roi == nullptr) return -1;
  for (size_t i = 0; i < Cells.size(); ++i)
    if (Cells[i]->OutlineRoi() == roi || Cells[i]->DotRoi() == roi) return static_cast<int32_t>(i);
  return -1;
}

void TFrame::MarkChanged(const TRegionOfInterest* roi, bool isDot) {
  if (isDot) return;
  int32_t index = FindCell(roi);
  if (index >= 0) Cells[static_cast<size_t>(index)]->NeedsAnalysis = true;
  Analysed = false;
}

void TFrame::MarkAllChanged() {
  for (auto& cell : Cells) cell->NeedsAnalysis = true;
  Analysed = false;
}

void TFrame::DeleteCell(int32_t index, bool freeRois) {
  if (index < 0 || index >= static_cast<int32_t>(Cells.size())) return;
  auto position = Cells.begin() + index;
  if (!freeRois) (*position)->ReleaseRois();
  Cells.erase(position);
  Analysed = false;
}

void TFrame::DeleteLastCell(bool freeRois) {
  if (!Cells.empty()) DeleteCell(static_cast<int32_t>(Cells.size()) - 1, freeRois);
}

void TFrame::AddRoisTo(const std::function<void(TRegionOfInterest*)>& add) const {
  for (const auto& cell : Cells) {
    if (cell->OutlineRoi() != nullptr) add(cell->OutlineRoi());
    if (cell->DotRoi() != nullptr) add(cell->DotRoi());
  }
}

void SetFrameCount(TFrames& frames, const TChannelInfos& channels, int32_t n) {
  n = std::max(n, 0);
  size_t count = static_cast<size_t>(n);
  if (count > frames.size()) {
    size_t first = frames.size();
    frames.resize(count);
    for (size_t i = first; i < count; ++i) InitialiseChannelData(frames[i], channels);
    return;
  }
  // Destroying a frame destroys its cells, which free their ROIs.
  frames.resize(count);
}

int64_t TotalCellCount(const TFrames& frames, int32_t frameCount) {
  int64_t total = 0;
  size_t limit = std::min(frames.size(), static_cast<size_t>(std::max(frameCount, 0)));
  for (size_t i = 0; i < limit; ++i) total += static_cast<int64_t>(frames[i].Cells.size());
  return total;
}

}  // namespace orbelin
