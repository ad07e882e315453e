#include "document/Composite.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "document/ImageSet.h"
#include "document/InterleaveBgr.h"
#include "numeric/Histogram.h"

namespace orbelin {

namespace {

constexpr int32_t kTopBin = static_cast<int32_t>(kSampleValueCount) - 1;

// One slot's input to the row kernel: samples, their byte table and, per
// component, 0xFF when the slot feeds it.
struct TSource {
  const uint16_t* Plane = nullptr;
  const uint8_t* Lut = nullptr;
  uint8_t Blue = 0, Green = 0, Red = 0;
};

// Row scratch space: one mapped row per source and one row per component.
struct TRowBuffers {
  std::vector<uint8_t> mapped;
  std::vector<uint8_t> components;
  TRowBuffers(size_t sources, size_t width) : mapped(sources * width), components(3 * width) {}
};

// Writes one row in three tight passes: map each source's samples through its
// table, take per component the maximum of the sources feeding it (0 when
// none), and interleave the components into blue, green, red pixels.
void ComposeRow(const TSource* sources, size_t count, const uint16_t* const* planes, size_t width,
                TRowBuffers& buffers, uint8_t* out) {
  for (size_t s = 0; s < count; ++s) {
    const uint16_t* __restrict plane = planes[s];
    const uint8_t* __restrict lut = sources[s].Lut;
    uint8_t* __restrict mapped = buffers.mapped.data() + s * width;
    // Eight table reads gathered into one store: byte stores are the bottleneck here.
    size_t x = 0;
    if constexpr (std::endian::native == std::endian::little)
      for (; x + 8 <= width; x += 8) {
        uint64_t word = 0;
        for (unsigned k = 0; k < 8; ++k) word |= uint64_t{lut[plane[x + k]]} << (8 * k);
        std::memcpy(mapped + x, &word, 8);
      }
    for (; x < width; ++x) mapped[x] = lut[plane[x]];
  }
  for (int c = 0; c < 3; ++c) {
    uint8_t* __restrict component = buffers.components.data() + static_cast<size_t>(c) * width;
    bool first = true;
    for (size_t s = 0; s < count; ++s) {
      const uint8_t feeds = c == 0 ? sources[s].Blue : c == 1 ? sources[s].Green : sources[s].Red;
      if (feeds == 0) continue;
      const uint8_t* __restrict mapped = buffers.mapped.data() + s * width;
      if (first)
        std::memcpy(component, mapped, width);
      else
        for (size_t x = 0; x < width; ++x) component[x] = std::max(component[x], mapped[x]);
      first = false;
    }
    if (first) std::memset(component, 0, width);
  }
  const uint8_t* blue = buffers.components.data();
  InterleaveBgr(blue, blue + width, blue + 2 * width, width, out);
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
  for (uint32_t v = 0; v < kSampleValueCount; ++v) {
    if (v <= low)
      lut[v] = 0;
    else if (v >= high)
      lut[v] = 255;
    else
      lut[v] = static_cast<uint8_t>((v - low) * 255 / span);
  }
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

  // One table per channel, shared by the slots that show it.
  std::vector<TByteDynArray> tables(static_cast<size_t>(set.ChannelCount()));
  static const TByteDynArray maskTable = [] {
    TByteDynArray table(kSampleValueCount, 0);
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
    source.Blue = kSlotComponents[s] & 1 ? 0xFF : 0;
    source.Green = kSlotComponents[s] & 2 ? 0xFF : 0;
    source.Red = kSlotComponents[s] & 4 ? 0xFF : 0;
    if (set.ShowMask()) {
      source.Lut = maskTable.data();
      continue;
    }
    const TChannelInfo& info = set.Channels()[channel];
    if (info.Lut.size() == kSampleValueCount) {
      source.Lut = info.Lut.data();
      continue;
    }
    TByteDynArray& table = tables[static_cast<size_t>(channel)];
    if (table.empty()) {
      const int64_t pixels = static_cast<int64_t>(width) * static_cast<int64_t>(height);
      FillRangeLut(AutomaticDisplayRange(data, pixels, set.Contrast(), set.DisplayBits()), table);
    }
    source.Lut = table.data();
  }
  if (count == 0 || width == 0) {
    std::fill(image.Pixels.begin(), image.Pixels.end(), uint8_t{0});
    return result;
  }

  TRowBuffers buffers(count, width);
  const uint16_t* planes[kColorSlotCount];
  if (!set.ShowMask()) {
    for (size_t y = 0; y < height; ++y) {
      for (size_t i = 0; i < count; ++i) planes[i] = sources[i].Plane + y * width;
      ComposeRow(sources, count, planes, width, buffers, image.Pixels.data() + y * width * 3);
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
    ComposeRow(sources, count, planes, width, buffers, image.Pixels.data() + y * width * 3);
  }
  return result;
}

}  // namespace orbelin
