#include <cstring>

#include "readers/framework/SciImageReader.h"

namespace orbelin {

void ExtractSamples(const TByteDynArray& data, int pixelType, int rowBytes, int count, int component,
                    TByteDynArray& dest) {
  if (count <= 1) {
    dest = data;
    return;
  }
  const int64_t b = PixelTypeBytes(pixelType);
  const int64_t size = static_cast<int64_t>(data.size());
  dest.assign(data.size() / static_cast<size_t>(count), 0);
  if (dest.empty() || b == 0 || component < 0 || component >= count) return;
  const int64_t pixelBytes = b * count;
  if (rowBytes != 0 && rowBytes % pixelBytes != 0) {
    // Rows carry padding at their end: walk row by row and drop it.
    const int64_t samplesPerRow = (rowBytes / b) / count;
    const int64_t rows = size / rowBytes;
    for (int64_t r = 0; r < rows; ++r) {
      const uint8_t* src = data.data() + component * b + r * rowBytes;
      uint8_t* out = dest.data() + r * samplesPerRow * b;
      for (int64_t i = 0; i < samplesPerRow; ++i) std::memcpy(out + i * b, src + i * pixelBytes, b);
    }
    // The plane ends with the last row; the padding left no samples behind it.
    dest.resize(static_cast<size_t>(rows * samplesPerRow * b));
    return;
  }
  const int64_t samples = static_cast<int64_t>(dest.size()) / b;
  const uint8_t* src = data.data() + component * b;
  uint8_t* out = dest.data();
  if (b == 1) {
    for (int64_t i = 0; i < samples; ++i) out[i] = src[i * pixelBytes];
  } else if (b == 2) {
    for (int64_t i = 0; i < samples; ++i) std::memcpy(out + i * 2, src + i * pixelBytes, 2);
  } else {
    for (int64_t i = 0; i < samples; ++i) std::memcpy(out + i * b, src + i * pixelBytes, b);
  }
}

}  // namespace orbelin
