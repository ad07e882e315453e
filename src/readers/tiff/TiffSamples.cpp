#include "readers/tiff/TiffSamples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "foundation/ByteOrder.h"
#include "numeric/ArrayOps.h"

namespace orbelin {

namespace {

constexpr uint16_t kWordSignBit = 0x8000;
constexpr uint8_t kByteSignBit = 0x80;
constexpr uint32_t kLongSignBit = 0x80000000u;
constexpr int kStretchMinMax = 4;

// Stretches finite values from [min, max] to [0, 65535]; NaN gives 0, infinities the ends.
void StretchFloats(const uint32_t* bits, size_t n, uint16_t* dest) {
  float low = std::numeric_limits<float>::infinity();
  float high = -std::numeric_limits<float>::infinity();
  for (size_t i = 0; i < n; ++i) {
    const float v = std::bit_cast<float>(bits[i]);
    if (!std::isfinite(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  const double range = static_cast<double>(high) - static_cast<double>(low);
  for (size_t i = 0; i < n; ++i) {
    const float v = std::bit_cast<float>(bits[i]);
    if (std::isnan(v) || v <= low) {
      dest[i] = range == 0 && v == low ? 65535 : 0;
    } else if (v >= high) {
      dest[i] = 65535;
    } else {
      dest[i] = static_cast<uint16_t>(std::nearbyint((static_cast<double>(v) - low) * 65535.0 / range));
    }
  }
}

}  // namespace

void FinishWordSamples(TWordDynArray& plane, const TSampleLayout& layout) {
  if (layout.bigEndian) SwapArray16(plane.data(), plane.size());
  if (layout.sampleFormat == sfSigned)
    for (auto& sample : plane) sample ^= kWordSignBit;
}

void WidenByteSamples(const uint8_t* bytes, size_t n, TWordDynArray& plane, const TSampleLayout& layout) {
  plane.resize(n);
  const uint8_t flip = layout.sampleFormat == sfSigned ? kByteSignBit : 0;
  for (size_t i = 0; i < n; ++i) plane[i] = static_cast<uint8_t>(bytes[i] ^ flip);
}

void StretchLongSamples(uint32_t* values, size_t n, TWordDynArray& plane, const TSampleLayout& layout) {
  if (layout.bigEndian) SwapArray32(values, n);
  plane.resize(n);
  if (layout.sampleFormat == sfFloat) {
    StretchFloats(values, n, plane.data());
    return;
  }
  if (layout.sampleFormat == sfSigned)
    for (size_t i = 0; i < n; ++i) values[i] ^= kLongSignBit;
  NarrowTo16(values, plane.data(), n, kStretchMinMax);
}

}  // namespace orbelin
