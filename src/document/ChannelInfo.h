#pragma once
// The two records of a channel: TChannelInfo once per image set, TChannelData
// once per channel and frame (its planes and histogram).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/DetectionAlgorithm.h"
#include "foundation/Types.h"
#include "numeric/Histogram.h"

namespace orbelin {

struct TPlaneReaderClass;

// Every 16-bit sample value: the size of a display table.
inline constexpr size_t kSampleValueCount = 65536;

struct TChannelInfo {
  std::string FileName;
  std::string Name;
  int32_t Index = 0;
  const TPlaneReaderClass* ReaderClass = nullptr;  // none: the TIFF function reads the planes
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PlaneCount = 0;
  int32_t TimePointCount = 0;
  int32_t PositionCount = 0;
  double PixelSize = 0;  // metres per pixel
  TDetectionAlgorithm Algorithm = daNone;
  int32_t SignificantBits = 0;
  TByteDynArray Lut;  // 65536 display bytes, or empty for the automatic range
};

// For each algorithm the lowest channel index assigned to it, or -1.
using TAlgorithmChannels = std::array<int32_t, kDetectionAlgorithmCount>;

class TChannelInfos {
public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TChannelInfo Item(int32_t i) const { return items_.at(static_cast<size_t>(i)); }
  const TChannelInfo& operator[](int32_t i) const { return items_.at(static_cast<size_t>(i)); }
  TChannelInfo& operator[](int32_t i) { return items_.at(static_cast<size_t>(i)); }
  void Add(const TChannelInfo& info) { items_.push_back(info); }
  void AddAll(const TChannelInfos& other) { items_.insert(items_.end(), other.items_.begin(), other.items_.end()); }
  void Clear() { items_.clear(); }
  TDetectionAlgorithm Algorithm(int32_t i) const { return (*this)[i].Algorithm; }
  void SetAlgorithm(int32_t i, TDetectionAlgorithm algorithm) { (*this)[i].Algorithm = algorithm; }
  TAlgorithmChannels AlgorithmChannels() const;
  // The frame count the channels give: the smallest non-zero position count, 0 when none.
  int32_t FrameCount() const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  std::vector<TChannelInfo> items_;
};

struct TChannelData {
  TWordDynArray RawPlane;
  TWordDynArray ProcessedPlane;
  uint8_t SmoothingUsed = 0;
  int32_t BackgroundRadiusUsed = 0;
  // Rows of (width + 15) / 16 words; bit i of word k is pixel 16k + i.
  TWordDynArray MaskPlane;
  THistogram Histogram{};
  uint16_t MinValue = 0;
  uint16_t MaxValue = 65535;
  uint16_t Background = 0;

  // Back to the state of a channel nothing was loaded for.
  void Initialise();
};

using TChannelDatas = std::vector<TChannelData>;

}  // namespace orbelin
