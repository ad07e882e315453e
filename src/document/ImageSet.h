#pragma once
// The open image set: channels, the frame store, colour slots, display
// options and the cached plane reader. The main window owns one and
// delegates to it; the command line uses it the same way.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/ChannelInfo.h"
#include "document/ColorSlots.h"
#include "document/Frames.h"
#include "document/ImageFormats.h"
#include "document/ResidentSet.h"

namespace orbelin {

class TImageSet {
public:
  explicit TImageSet(TImageFormats formats = DefaultImageFormats());
  ~TImageSet();
  TImageSet(const TImageSet&) = delete;
  TImageSet& operator=(const TImageSet&) = delete;

  // Replaces the open images by the given files (siblings of a lone channel
  // file included) and shows frame 0. Unreadable files are skipped; when
  // nothing is readable the set stays closed. When a channel's size differs
  // or a plane cannot be read the set is closed and the error re-raised.
  void OpenFiles(const std::vector<std::string>& paths);
  // Counts channel index of channels in; raises on a size different from the first channel's.
  void AddChannel(const TChannelInfos& channels, int32_t index);
  // Remembers the channel names, then forgets every channel, frame and cell.
  void CloseImages();
  bool IsOpen() const { return channelCount_ > 0; }

  // Clamps index to the frames; false when that is already the current frame.
  bool GoToFrame(int32_t index);
  // Loads the frame's missing raw planes, then frees memory of other frames.
  void PrepareFrame(int32_t frame);
  // Reads one raw plane and counts its histogram.
  void LoadPlane(int32_t channel, int32_t frame);

  const TChannelInfos& Channels() const { return channels_; }
  // For the channel selector and the histogram window (algorithms, LUTs).
  TChannelInfos& Channels() { return channels_; }
  int32_t ChannelCount() const { return channelCount_; }
  TFrames& Frames() { return frames_; }
  const TFrames& Frames() const { return frames_; }
  int32_t FrameCount() const { return channels_.FrameCount(); }
  int64_t TotalCellCount() const { return orbelin::TotalCellCount(frames_, FrameCount()); }
  int32_t CurrentFrame() const { return currentFrame_; }
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }
  int32_t DisplayBits() const { return displayBits_; }
  // The first channel's size and pixel size, as the status bar shows them.
  std::string SizeText() const;

  const TColorSlots& Slots() const { return slots_; }
  // Remembered names per slot and per algorithm, loaded and saved by the owner.
  std::array<std::string, kColorSlotCount>& LastSlotName() { return slots_.LastSlotName; }
  TAlgorithmNames& LastAlgorithmChannel() { return lastAlgorithmChannel_; }
  // The display setters return whether the composite needs drawing again.
  bool SetSlotChannel(TColorSlot slot, int32_t index);
  // Only a slot that shows a channel changes the picture.
  bool SetSlotVisible(TColorSlot slot, bool visible);
  void RememberChannelNames();

  double Contrast() const { return contrast_; }
  bool SetContrast(double fraction);
  bool ForceGray() const { return forceGray_; }
  // Grey forcing shows only when exactly one slot with a channel is visible.
  bool SetForceGray(bool on);
  bool ShowMask() const { return showMask_; }
  bool SetShowMask(bool on);

  // Tests and tools replace the resident-memory figure used for trimming.
  void SetResidentSetSource(TResidentSetSource source) { residentSet_ = std::move(source); }

private:
  void AddChannels(const TChannelInfos& collected);
  void CloseWithoutRemembering();
  void ReadTiffPlane(const TChannelInfo& info, int32_t frame, TWordDynArray& plane);
  void ReadReaderPlane(const TChannelInfo& info, int32_t frame, TWordDynArray& plane);
  void TrimFarFrames(int32_t frame);
  int32_t LargestSampleOfFrame(int32_t frame) const;

  TImageFormats formats_;
  TResidentSetSource residentSet_;
  TChannelInfos channels_;
  int32_t channelCount_ = 0;
  TFrames frames_;
  int32_t imageWidth_ = 0;
  int32_t imageHeight_ = 0;
  int32_t currentFrame_ = -1;
  int32_t displayBits_ = 16;
  TColorSlots slots_;
  TAlgorithmNames lastAlgorithmChannel_;
  double contrast_ = 0.01;
  bool forceGray_ = false;
  bool showMask_ = false;
  std::unique_ptr<TPlaneReader> planeReader_;
  const TPlaneReaderClass* planeReaderClass_ = nullptr;
  std::string planeReaderFile_;
};

}  // namespace orbelin
