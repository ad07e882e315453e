#pragma once
// The per-frame cell analysis: prepares every assigned channel plane
// (smoothing, background subtraction; cached by smoothing and radius), turns
// each cell outline into a mask over the cell's box, detects the objects of
// every assigned channel in every cell that needs it, relates them to the
// nucleus and places the MTOC marker. Runs synchronously on the caller's
// thread; the window and the command line own one each.
#include <cstdint>
#include <functional>
#include <memory>

#include "document/ChannelInfo.h"
#include "document/Frames.h"

namespace orbelin {

class TImageSet;
class TCellData;
struct TCellAnalysisWork;

class TCellAnalyser {
public:
  // Works on the set's frames and channels, loads missing planes through it,
  // and treats the set's current frame as the one shown.
  explicit TCellAnalyser(TImageSet& set);
  // Works on frames whose raw planes are already loaded. loadFrame, when
  // given, is called before a frame is analysed; no frame is shown until
  // SetShownFrame.
  TCellAnalyser(TFrames& frames, const TChannelInfos& channels,
                std::function<void(int32_t frame)> loadFrame = {});
  ~TCellAnalyser();
  TCellAnalyser(const TCellAnalyser&) = delete;
  TCellAnalyser& operator=(const TCellAnalyser&) = delete;

  // Analyses the cells of frame: with force every cell (the mask planes are
  // cleared first), otherwise only cells that need analysis. False when frame
  // is negative or has no cells (the frame is then only marked analysed),
  // true after an analysis pass.
  bool AnalyseFrame(int32_t frame, bool force);

  // For analysers without an image set: markers placed on this frame join the view.
  void SetShownFrame(int32_t frame) { shownFrame_ = frame; }

private:
  void PreparePlanes(TFrame& frame, bool force);
  void AnalyseCell(TFrame& frame, TCellData& cell, bool shown, bool force);

  TFrames& frames_;
  const TChannelInfos& channels_;
  std::function<void(int32_t)> loadFrame_;
  std::function<int32_t()> currentFrame_;
  int32_t shownFrame_ = -1;
  std::unique_ptr<TCellAnalysisWork> work_;
};

}  // namespace orbelin
