#pragma once
// The colour composite of the current frame: every visible slot maps its
// channel's 16-bit samples to bytes and feeds one to three colour components;
// each component is the per-pixel maximum of what feeds it.
#include <array>
#include <cstdint>
#include <vector>

#include "document/ChannelInfo.h"
#include "document/ColorSlots.h"
#include "foundation/Types.h"

namespace orbelin {

class TImageSet;

// 24-bit picture, rows of Width × 3 bytes stored blue, green, red, top row first.
struct TBgrImage {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;
  size_t RowBytes() const { return static_cast<size_t>(Width) * 3; }
};

struct TCompositeResult {
  bool Drawn = false;  // false when nothing is open
  // Mask mode on a frame without cells: the picture is black and the window
  // shows its hint instead.
  bool NoCellsToShow = false;
};

// Fills image with the composite of the set's current frame (loading its
// planes first). In mask mode the caller analyses the frame beforehand so
// that the mask planes exist.
TCompositeResult ComposeFrame(TImageSet& set, TBgrImage& image);

// The channel drawn by each slot once visibility, grey forcing and mask mode are applied; -1 for none.
std::array<int32_t, kColorSlotCount> EffectiveSlotChannels(const TImageSet& set);

struct TDisplayRange {
  uint16_t Low = 0;
  uint16_t High = 0;
};

// The automatic range of a channel: the contrast cut-offs over its histogram,
// or 0 .. 2^displayBits - 1 for "Full range" (negative contrast).
TDisplayRange AutomaticDisplayRange(const TChannelData& data, int64_t pixelCount, double contrast,
                                    int32_t displayBits);

// Fills lut (65536 bytes) with the automatic mapping of a range.
void FillRangeLut(TDisplayRange range, TByteDynArray& lut);

// The display table of a manual range with gamma: 0 up to min, 255 from max on.
TByteDynArray BuildLut(int32_t min, int32_t max, double gamma);

}  // namespace orbelin
