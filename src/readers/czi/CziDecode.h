#pragma once
// Decoding of compressed CZI subblocks into plain little-endian pixels.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "foundation/Types.h"

namespace orbelin {

struct TCziPlaneShape {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Components = 1;   // interleaved samples per pixel
  int32_t SampleBytes = 1;  // bytes of one stored sample
  int32_t PlaneCount = 1;   // planes held by the subblock
  int32_t PixelType = 0;    // CZI pixel type code

  // Both saturate at INT64_MAX, so forged sizes compare as too large instead of wrapping.
  int64_t PlaneBytes() const { return SaturatedProduct({Width, Height, Components, SampleBytes}); }
  int64_t ExpectedBytes() const { return SaturatedProduct({PlaneBytes(), PlaneCount}); }
  static int64_t SaturatedProduct(std::initializer_list<int64_t> factors) {
    int64_t product = 1;
    for (int64_t factor : factors)
      if (factor < 0 || __builtin_mul_overflow(product, factor, &product)) return INT64_MAX;
    return product;
  }
};

// The pixels of all planes of a subblock stored with `compression`. Raises
// ESciImageReaderError for an unknown code, a stream that does not decode, or
// a decoded size other than shape.ExpectedBytes().
TByteDynArray DecodeCziSubblock(int compression, const TByteDynArray& stored, const TCziPlaneShape& shape);

// The single decoders; each returns what the stream holds (the caller checks the size).
TByteDynArray DecodeZstdFrame(const uint8_t* data, size_t size, int64_t limit);
TByteDynArray DecodeZstdWithHeader(const uint8_t* data, size_t size, const TCziPlaneShape& shape);
TByteDynArray DecodeCziJpeg(const uint8_t* data, size_t size, const TCziPlaneShape& shape);
TByteDynArray DecodeCziJpegXr(const uint8_t* data, size_t size, const TCziPlaneShape& shape);
TByteDynArray DecodeCziLzw(const uint8_t* data, size_t size, int64_t limit);

// Interleaves `samples` low bytes (at src) and the same number of high bytes
// (at src + samples) into little-endian 16-bit samples at dest.
void UnpackHiLoBytes(const uint8_t* src, size_t samples, uint8_t* dest);

// Header of a zstd subblock with header: its size in bytes and the hi-lo flag. Raises when damaged.
struct TZstdSubblockHeader {
  size_t Size = 1;
  bool HiLo = false;
};
TZstdSubblockHeader ReadZstdSubblockHeader(const uint8_t* data, size_t size);

}  // namespace orbelin
