#include "document/ImageSet.h"

#include <algorithm>
#include <cstdlib>

#include "document/ChannelFiles.h"
#include "document/Contrast.h"
#include "foundation/Exceptions.h"
#include "numeric/Histogram.h"

namespace orbelin {

namespace {

void FreePlane(TWordDynArray& plane) { TWordDynArray().swap(plane); }

void CountHistogram(TChannelData& data) {
  ClearHistogram(data.Histogram);
  AddToHistogram(data.Histogram, data.RawPlane);
  const THistogramRange range = HistogramRange(data.Histogram);
  data.MinValue = range.min;
  data.MaxValue = range.max;
}

int32_t BitsForLargestSample(int32_t largest) {
  if (largest < 256) return 8;
  if (largest < 1024) return 10;
  if (largest < 4096) return 12;
  if (largest < 16384) return 14;
  return 16;
}

}  // namespace

TImageSet::TImageSet(TImageFormats formats) : formats_(std::move(formats)), residentSet_(ResidentSetBytes) {}

TImageSet::~TImageSet() = default;

void TImageSet::OpenFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  if (IsOpen()) CloseImages();

  TChannelInfos collected;
  for (const auto& path : paths) {
    TChannelInfos channels;
    if (ReadChannelsOfFile(path, formats_, channels)) collected.AddAll(channels);
  }
  if (collected.Count() == 1) {
    for (const auto& sibling : SiblingChannelFiles(paths.front())) {
      TChannelInfos channels;
      if (ReadChannelsOfFile(sibling, formats_, channels)) collected.AddAll(channels);
    }
  }
  AssignColorSlots(slots_, collected);
  AssignAlgorithms(collected, slots_, lastAlgorithmChannel_);

  // A size mismatch or an unreadable plane must not leave half an image set.
  try {
    AddChannels(collected);
  } catch (...) {
    CloseWithoutRemembering();
    throw;
  }
}

void TImageSet::AddChannels(const TChannelInfos& collected) {
  for (int32_t i = 0; i < collected.Count(); ++i) AddChannel(collected, i);
  if (channelCount_ < 1) return;
  channels_ = collected;
  slots_.SlotVisible.fill(true);
  showMask_ = false;

  int32_t bits = 0;
  for (const auto& channel : channels_) bits = std::max(bits, channel.SignificantBits);
  if (bits == 0) {
    // Frame 0 is shown next anyway; its planes tell how many bits the samples use.
    if (FrameCount() > 0) PrepareFrame(0);
    bits = BitsForLargestSample(LargestSampleOfFrame(0));
  }
  displayBits_ = bits;
  GoToFrame(currentFrame_);
}

void TImageSet::AddChannel(const TChannelInfos& channels, int32_t index) {
  const TChannelInfo& channel = channels[index];
  if (channel.FileName.empty()) return;
  if (channelCount_ == 0) {
    imageWidth_ = channel.Width;
    imageHeight_ = channel.Height;
  } else if (channel.Width != imageWidth_ || channel.Height != imageHeight_) {
    RaiseError<Exception>("Error: Image must have the same dimension.");
  }
  ++channelCount_;
  SetFrameCount(frames_, channels, channels.FrameCount());
}

void TImageSet::CloseImages() {
  RememberChannelNames();
  CloseWithoutRemembering();
}

void TImageSet::CloseWithoutRemembering() {
  planeReader_.reset();
  planeReaderClass_ = nullptr;
  planeReaderFile_.clear();
  channelCount_ = 0;
  channels_.Clear();
  SetFrameCount(frames_, channels_, 0);
  imageWidth_ = 0;
  imageHeight_ = 0;
  currentFrame_ = -1;
}

bool TImageSet::GoToFrame(int32_t index) {
  const int32_t frameCount = FrameCount();
  if (index < 0) index = 0;
  if (index >= frameCount) index = frameCount - 1;
  if (index == currentFrame_) return false;
  currentFrame_ = index;
  PrepareFrame(currentFrame_);
  return true;
}

void TImageSet::PrepareFrame(int32_t frame) {
  if (frame >= 0 && frame < static_cast<int32_t>(frames_.size())) {
    const int32_t channels = std::min(channelCount_, static_cast<int32_t>(frames_[static_cast<size_t>(frame)].ChannelData.size()));
    for (int32_t c = 0; c < channels; ++c)
      if (frames_[static_cast<size_t>(frame)].ChannelData[static_cast<size_t>(c)].RawPlane.empty()) LoadPlane(c, frame);
  }
  for (auto& each : frames_) {
    if (!each.Cells.empty()) continue;
    for (auto& data : each.ChannelData) {
      FreePlane(data.ProcessedPlane);
      FreePlane(data.MaskPlane);
    }
  }
  TrimFarFrames(frame);
}

void TImageSet::TrimFarFrames(int32_t frame) {
  // Derived planes go first, then raw planes (read again on demand), then masks;
  // neighbours of the requested and the current frame are always kept.
  TWordDynArray TChannelData::*const order[] = {&TChannelData::ProcessedPlane, &TChannelData::RawPlane,
                                                &TChannelData::MaskPlane};
  for (auto plane : order) {
    if (residentSet_() <= kWorkingSetLimit) return;
    for (size_t a = 0; a < frames_.size(); ++a) {
      const int64_t index = static_cast<int64_t>(a);
      if (std::llabs(index - frame) < 2 || std::llabs(index - currentFrame_) < 2) continue;
      for (auto& data : frames_[a].ChannelData) FreePlane(data.*plane);
    }
  }
}

void TImageSet::LoadPlane(int32_t channel, int32_t frame) {
  if (channel < 0 || channel >= channels_.Count() || frame < 0 || frame >= static_cast<int32_t>(frames_.size()))
    RaiseErrorFmt<EArgumentOutOfRange>("Out of range: plane %d of frame %d does not exist.", channel, frame);
  TChannelData& data = frames_[static_cast<size_t>(frame)].ChannelData.at(static_cast<size_t>(channel));
  const TChannelInfo& info = channels_[channel];
  if (info.ReaderClass == nullptr)
    ReadTiffPlane(info, frame, data.RawPlane);
  else
    ReadReaderPlane(info, frame, data.RawPlane);
  // Every later pass walks width × height samples, whatever the file delivered.
  data.RawPlane.resize(static_cast<size_t>(imageWidth_) * static_cast<size_t>(imageHeight_), 0);
  CountHistogram(data);
  data.Background = 0;
}

void TImageSet::ReadTiffPlane(const TChannelInfo& info, int32_t frame, TWordDynArray& plane) {
  int32_t width = 0, height = 0, planes = 0;
  double pixelSize = 0;
  if (!formats_.ReadTiff || !formats_.ReadTiff(info.FileName, frame, plane, width, height, planes, pixelSize)) {
    FreePlane(plane);
    RaiseError<Exception>("Failed to open file.");
  }
}

void TImageSet::ReadReaderPlane(const TChannelInfo& info, int32_t frame, TWordDynArray& plane) {
  if (!planeReader_ || planeReaderClass_ != info.ReaderClass) {
    planeReader_.reset();
    planeReaderFile_.clear();
    planeReaderClass_ = nullptr;
    planeReader_ = info.ReaderClass->Create();
    planeReaderClass_ = info.ReaderClass;
  }
  if (planeReaderFile_ != info.FileName) {
    planeReaderFile_.clear();
    planeReader_->Open(info.FileName);
    planeReaderFile_ = info.FileName;
  }
  planeReader_->ReadPlane(frame, info.Index, plane);
}

int32_t TImageSet::LargestSampleOfFrame(int32_t frame) const {
  if (frame < 0 || frame >= static_cast<int32_t>(frames_.size())) return 0;
  int32_t largest = 0;
  for (const auto& data : frames_[static_cast<size_t>(frame)].ChannelData)
    if (!data.RawPlane.empty()) largest = std::max<int32_t>(largest, data.MaxValue);
  return largest;
}

std::string TImageSet::SizeText() const {
  if (channels_.Count() == 0) return {};
  const TChannelInfo& first = channels_[0];
  std::string text = FormatText("%d \xC3\x97 %d", first.Width, first.Height);
  if (first.PixelSize != 0) text += FormatText("; %6.4f \xC2\xB5m/px", first.PixelSize * 1000000.0);
  return text;
}

bool TImageSet::SetSlotChannel(TColorSlot slot, int32_t index) {
  if (index < 0) index = -1;
  if (index == slots_.SlotChannel[slot] || index >= channels_.Count()) return false;
  slots_.SlotChannel[slot] = index;
  return true;
}

bool TImageSet::SetSlotVisible(TColorSlot slot, bool visible) {
  if (slots_.SlotVisible[slot] == visible) return false;
  slots_.SlotVisible[slot] = visible;
  return slots_.SlotChannel[slot] >= 0;
}

void TImageSet::RememberChannelNames() {
  if (IsOpen()) orbelin::RememberChannelNames(slots_, lastAlgorithmChannel_, channels_);
}

bool TImageSet::SetContrast(double fraction) {
  fraction = ClampContrast(fraction);
  if (fraction == contrast_) return false;
  contrast_ = fraction;
  return true;
}

bool TImageSet::SetForceGray(bool on) {
  if (forceGray_ == on) return false;
  forceGray_ = on;
  int visibleSlots = 0;
  for (size_t s = 0; s < kColorSlotCount; ++s)
    if (slots_.SlotChannel[s] >= 0 && slots_.SlotVisible[s]) ++visibleSlots;
  return visibleSlots == 1;
}

bool TImageSet::SetShowMask(bool on) {
  if (showMask_ == on) return false;
  showMask_ = on;
  return true;
}

}  // namespace orbelin
