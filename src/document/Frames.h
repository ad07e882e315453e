#pragma once
// The frame store: one TFrame per position with its cells and, per channel,
// its planes and histogram.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "document/Cell.h"
#include "document/ChannelInfo.h"

namespace orbelin {

struct TFrame {
  TCellDatas Cells;
  bool Analysed = false;
  TChannelDatas ChannelData;

  // Appends a new cell (its outline set, no dot) that needs analysis.
  void AddCell(std::unique_ptr<TCellBase> cell);
  // Index of the cell whose outline or dot is roi, -1 if none.
  int32_t FindCell(const TRegionOfInterest* roi) const;
  // A ROI was edited. An outline marks its cell for analysis; anything but a
  // dot makes the frame's results stale.
  void MarkChanged(const TRegionOfInterest* roi, bool isDot);
  void MarkAllChanged();
  // Removes a cell; freeRois false hands its ROIs to whoever holds them. Out of range: ignored.
  void DeleteCell(int32_t index, bool freeRois);
  void DeleteLastCell(bool freeRois);
  // Calls add for every cell's outline and (when present) dot, for filling a ROI group.
  void AddRoisTo(const std::function<void(TRegionOfInterest*)>& add) const;
};

using TFrames = std::vector<TFrame>;

// Resizes the store to n frames. New frames get one initialised TChannelData
// per channel; frames at index >= n lose their cells (ROIs freed) and planes
// before they are cut off.
void SetFrameCount(TFrames& frames, const TChannelInfos& channels, int32_t n);

// Cells over the first frameCount frames.
int64_t TotalCellCount(const TFrames& frames, int32_t frameCount);

}  // namespace orbelin
