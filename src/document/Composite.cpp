#include "document/Composite.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "document/ImageSet.h"
#include "document/InterleaveBgr.h"
#include "document/MapSamples.h"
#include "numeric/Histogram.h"

namespace orbelin {

namespace {

constexpr int32_t kTopBin = static_cast<int32_t>(kSampleValueCount) - 1;

// One slot's input to the row kernel: samples, their byte table or display
// range, and the components it feeds (bit 0 blue, 1 green, 2 red).
struct TSource {
  const uint16_t* Plane = nullptr;
  const uint8_t* Lut = nullptr;  // none: mapped by Range
  TRangeMapping Range;
  uint8_t Components = 0;
};

void MapSource(const TSource& source, const uint16_t* plane, size_t n, uint8_t* mapped) {
  if (source.Lut != nullptr)
    MapSamples(plane, source.Lut, n, mapped);
  else
    MapRangeSamples(plane, source.Range, n, mapped);
}

// Pixels per block: the block's component rows stay in the first-level cache
// between the mapping, the maximum and the interleave.
constexpr size_t kBlockPixels = 256;

void MaxInto(uint8_t* __restrict component, const uint8_t* __restrict mapped, size_t n) {
  for (size_t x = 0; x < n; ++x) component[x] = std::max(component[x], mapped[x]);
}

// Writes one row block by block: each source's samples are mapped to bytes
// straight into the component it alone feeds, or once into scratch and from
// there into each of its components; a component takes the first source as
// is and the maximum with every later one (0 when none feeds it). Then the
// components are interleaved into blue, green, red pixels.
void ComposeRow(const TSource* sources, size_t count, const uint16_t* const* planes, size_t width, uint8_t* out) {
  alignas(16) uint8_t components[3][kBlockPixels];
  alignas(16) uint8_t mapped[kBlockPixels];
  for (size_t x0 = 0; x0 < width; x0 += kBlockPixels) {
    const size_t n = std::min(kBlockPixels, width - x0);
    unsigned filled = 0;
    for (size_t s = 0; s < count; ++s) {
      const unsigned feeds = sources[s].Components;
      if (feeds == 0) continue;
      if ((feeds & (feeds - 1)) == 0) {  // one component
        uint8_t* component = components[std::countr_zero(feeds)];
        if (filled & feeds) {
          MapSource(sources[s], planes[s] + x0, n, mapped);
          MaxInto(component, mapped, n);
        } else {
          MapSource(sources[s], planes[s] + x0, n, component);
        }
        filled |= feeds;
        continue;
      }
      MapSource(sources[s], planes[s] + x0, n, mapped);
      for (unsigned c = 0; c < 3; ++c) {
        if ((feeds & (1u << c)) == 0) continue;
        if (filled & (1u << c))
          MaxInto(components[c], mapped, n);
        else
          std::memcpy(components[c], mapped, n);
      }
      filled |= feeds;
    }
    for (unsigned c = 0; c < 3; ++c)
      if ((filled & (1u << c)) == 0) std::memset(components[c], 0, n);
    InterleaveBgr(components[0], components[1], components[2], n, out + 3 * x0);
  }
}

// Unpacks one mask row into 0/1 samples that the mask table turns into 0/255.
void ExpandMaskRow(const TWordDynArray& mask, size_t row, size_t width, uint16_t* out) {
  const size_t words = (width + 15) / 16;
  const uint16_t* source = mask.data() + row * words;
  for (size_t x = 0; x < width; ++x) out[x] = (source[x >> 4] >> (x & 15)) & 1u;
}

}  // namespace

std::array<int32_t, kColorSlotCount> EffectiveSlotChannels(const TImageSet& set) {
  std::array<int32_t, kColorSlotCount> result;
  const TColorSlots& slots = set.Slots();
  int32_t used = 0, single = -1;
  for (size_t s = 0; s < kColorSlotCount; ++s) {
    const int32_t channel = slots.SlotChannel[s];
    const bool valid = channel >= 0 && channel < set.ChannelCount() && channel < set.Channels().Count();
    result[s] = valid && slots.SlotVisible[s] ? channel : -1;
    if (result[s] >= 0) {
      ++used;
      single = result[s];
    }
  }
  if (set.ForceGray() && used == 1) {
    result.fill(-1);
    result[csGreen] = result[csRed] = result[csBlue] = single;
  }
  if (set.ShowMask()) {
    const int32_t frame = set.CurrentFrame();
    for (auto& channel : result) {
      if (channel < 0) continue;
      const bool hasMask = frame >= 0 && frame < static_cast<int32_t>(set.Frames().size()) &&
                           !set.Frames()[static_cast<size_t>(frame)].ChannelData[static_cast<size_t>(channel)].MaskPlane.empty();
      if (!hasMask) channel = -1;
    }
  }
  return result;
}

TDisplayRange AutomaticDisplayRange(const TChannelData& data, int64_t pixelCount, double contrast,
                                    int32_t displayBits) {
  TDisplayRange range;
  if (contrast < 0) {
    const int32_t bits = std::clamp(displayBits, 1, 16);
    range.Low = 0;
    range.High = static_cast<uint16_t>((1u << bits) - 1);
    return range;
  }
  const double k = contrast < 0.01 ? 15 : contrast < 0.1 ? 10 : 6;
  const double n = static_cast<double>(pixelCount);
  range.Low = LowPercentile(data.Histogram, static_cast<uint64_t>(std::nearbyint(n * contrast * k)));
  range.Low = std::max(range.Low, data.Background);
  range.High = HighPercentile(data.Histogram, static_cast<uint64_t>(std::nearbyint(n * contrast)));
  return range;
}

void FillRangeLut(TDisplayRange range, TByteDynArray& lut) {
  lut.resize(kSampleValueCount);
  const uint32_t low = range.Low, high = range.High;
  uint32_t span = static_cast<uint16_t>(high - low);
  if (span == 0) span = 1;
  // Everything at or below low is 0, everything above it and at or above high 255;
  // only the values between need the division.
  std::fill(lut.begin(), lut.begin() + low + 1, uint8_t{0});
  std::fill(lut.begin() + low + 1, lut.end(), uint8_t{255});
  for (uint32_t v = low + 1; v < high; ++v) lut[v] = static_cast<uint8_t>((v - low) * 255 / span);
}

TByteDynArray BuildLut(int32_t min, int32_t max, double gamma) {
  TByteDynArray lut(kSampleValueCount, 0);
  min = std::clamp(min, -1, kTopBin);
  max = std::clamp(max, 0, kTopBin + 1);
  for (int32_t v = max; v <= kTopBin; ++v) lut[static_cast<size_t>(v)] = 255;
  const double exponent = 1.0 / gamma;
  for (int32_t v = std::max(min + 1, 0); v < max; ++v) {
    const double t = static_cast<double>(v - min) / static_cast<double>(max - min);
    const double value = std::nearbyint(255.0 * std::pow(t, exponent));
    lut[static_cast<size_t>(v)] = static_cast<uint8_t>(std::isnan(value) ? 0 : std::clamp(value, 0.0, 255.0));
  }
  return lut;
}

TCompositeResult ComposeFrame(TImageSet& set, TBgrImage& image) {
  TCompositeResult result;
  if (set.ChannelCount() <= 0 || set.CurrentFrame() < 0) return result;
  set.PrepareFrame(set.CurrentFrame());
  const TFrame& frame = set.Frames()[static_cast<size_t>(set.CurrentFrame())];
  const std::array<int32_t, kColorSlotCount> slotChannels = EffectiveSlotChannels(set);

  const size_t width = static_cast<size_t>(std::max(set.ImageWidth(), 0));
  const size_t height = static_cast<size_t>(std::max(set.ImageHeight(), 0));
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.Pixels.resize(width * height * 3);
  result.Drawn = true;
  result.NoCellsToShow = set.ShowMask() && frame.Cells.empty();

  // One table per channel, shared by the slots that show it, with the padding
  // the vector table reads need.
  std::vector<TByteDynArray> tables(static_cast<size_t>(set.ChannelCount()));
  static const TByteDynArray maskTable = [] {
    TByteDynArray table(kSampleValueCount + kMapTablePadding, 0);
    table[1] = 255;
    return table;
  }();
  TSource sources[kColorSlotCount];
  int32_t sourceChannels[kColorSlotCount];
  size_t count = 0;
  for (size_t s = 0; s < kColorSlotCount; ++s) {
    const int32_t channel = slotChannels[s];
    if (channel < 0) continue;
    const TChannelData& data = frame.ChannelData[static_cast<size_t>(channel)];
    if (data.RawPlane.size() < width * height) continue;
    TSource& source = sources[count];
    sourceChannels[count] = channel;
    ++count;
    source.Plane = data.RawPlane.data();
    source.Components = kSlotComponents[s];
    if (set.ShowMask()) {
      source.Lut = maskTable.data();
      continue;
    }
    const TChannelInfo& info = set.Channels()[channel];
    const int64_t pixels = static_cast<int64_t>(width) * static_cast<int64_t>(height);
    if (info.Lut.size() != kSampleValueCount && RangeMappingIsVectorised()) {
      // Computing the range's bytes outruns reading them from a table.
      const TDisplayRange range = AutomaticDisplayRange(data, pixels, set.Contrast(), set.DisplayBits());
      source.Lut = nullptr;
      source.Range = RangeMappingOf(range.Low, range.High);
      continue;
    }
    TByteDynArray& table = tables[static_cast<size_t>(channel)];
    if (table.empty()) {
      table.reserve(kSampleValueCount + kMapTablePadding);
      if (info.Lut.size() == kSampleValueCount) {
        table.assign(info.Lut.begin(), info.Lut.end());
      } else {
        FillRangeLut(AutomaticDisplayRange(data, pixels, set.Contrast(), set.DisplayBits()), table);
      }
      table.resize(kSampleValueCount + kMapTablePadding, 0);
    }
    source.Lut = table.data();
  }
  if (count == 0 || width == 0) {
    std::fill(image.Pixels.begin(), image.Pixels.end(), uint8_t{0});
    return result;
  }

  const uint16_t* planes[kColorSlotCount];
  if (!set.ShowMask()) {
    for (size_t y = 0; y < height; ++y) {
      for (size_t i = 0; i < count; ++i) planes[i] = sources[i].Plane + y * width;
      ComposeRow(sources, count, planes, width, image.Pixels.data() + y * width * 3);
    }
    return result;
  }

  // Mask mode: every source reads an unpacked row of its mask instead of its samples.
  std::vector<uint16_t> rows(count * width);
  for (size_t i = 0; i < count; ++i) planes[i] = rows.data() + i * width;
  const size_t maskWords = (width + 15) / 16 * height;
  for (size_t y = 0; y < height; ++y) {
    for (size_t i = 0; i < count; ++i) {
      const TWordDynArray& mask = frame.ChannelData[static_cast<size_t>(sourceChannels[i])].MaskPlane;
      uint16_t* row = rows.data() + i * width;
      if (mask.size() >= maskWords)
        ExpandMaskRow(mask, y, width, row);
      else
        std::fill(row, row + width, uint16_t{0});
    }
    ComposeRow(sources, count, planes, width, image.Pixels.data() + y * width * 3);
  }
  return result;
}

}  // namespace orbelin
