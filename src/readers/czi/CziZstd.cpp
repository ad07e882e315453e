#include <zstd.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {

namespace {

struct TZstdStream {
  ZSTD_DStream* stream = ZSTD_createDStream();
  ~TZstdStream() { ZSTD_freeDStream(stream); }
};

}  // namespace

// Decodes into a buffer sized from the frame's declared content size when it
// has one; otherwise the buffer grows with the output. Either way never beyond
// limit + 1 bytes, so a forged size cannot allocate more than the plane needs.
TByteDynArray DecodeZstdFrame(const uint8_t* data, size_t size, int64_t limit) {
  const unsigned long long declared = ZSTD_getFrameContentSize(data, size);
  if (declared == ZSTD_CONTENTSIZE_ERROR) RaiseError<ESciImageReaderError>("Subblock is no zstd frame.");
  const auto cap = static_cast<size_t>(limit) + 1;
  TByteDynArray out;
  if (declared != ZSTD_CONTENTSIZE_UNKNOWN) {
    if (declared > cap)
      RaiseErrorFmt<ESciImageReaderError>("Decoded subblock holds %llu bytes instead of %lld.", declared,
                                          static_cast<long long>(limit));
    out.resize(static_cast<size_t>(declared));
    const size_t got = ZSTD_decompress(out.data(), out.size(), data, size);
    if (ZSTD_isError(got)) RaiseErrorFmt<ESciImageReaderError>("zstd: %s", ZSTD_getErrorName(got));
    out.resize(got);
    return out;
  }
  TZstdStream zstd;
  if (!zstd.stream) RaiseError<ESciImageReaderError>("zstd: out of memory");
  ZSTD_initDStream(zstd.stream);
  ZSTD_inBuffer input{data, size, 0};
  size_t produced = 0;
  for (;;) {
    if (produced == out.size()) {
      if (out.size() >= cap) break;
      out.resize(std::min(cap, std::max<size_t>(out.size() * 2, 1 << 16)));
    }
    ZSTD_outBuffer output{out.data(), out.size(), produced};
    const size_t status = ZSTD_decompressStream(zstd.stream, &output, &input);
    if (ZSTD_isError(status)) RaiseErrorFmt<ESciImageReaderError>("zstd: %s", ZSTD_getErrorName(status));
    const bool progressed = output.pos != produced;
    produced = output.pos;
    if (status == 0) break;  // frame complete
    if (!progressed && input.pos == input.size) RaiseError<ESciImageReaderError>("zstd: truncated frame");
  }
  out.resize(produced);
  return out;
}

// Byte 0 is the header size: 1, or 3 with byte 1 = 1 (chunk type) and bit 0
// of byte 2 = hi-lo packing: all low bytes of the 16-bit samples first, then
// all high bytes.
TZstdSubblockHeader ReadZstdSubblockHeader(const uint8_t* data, size_t size) {
  if (size < 1) RaiseError<ESciImageReaderError>("zstd subblock without header.");
  TZstdSubblockHeader header;
  header.Size = data[0];
  if (header.Size == 3) {
    if (size < 3 || data[1] != 1) RaiseError<ESciImageReaderError>("zstd subblock header is damaged.");
    header.HiLo = (data[2] & 1) != 0;
  } else if (header.Size != 1) {
    RaiseErrorFmt<ESciImageReaderError>("zstd subblock header of %zu bytes is unknown.", header.Size);
  }
  return header;
}

TByteDynArray DecodeZstdWithHeader(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  const TZstdSubblockHeader header = ReadZstdSubblockHeader(data, size);
  TByteDynArray out = DecodeZstdFrame(data + header.Size, size - header.Size, shape.ExpectedBytes());
  if (header.HiLo && shape.SampleBytes == 2) {
    if (out.size() % 2 != 0) RaiseError<ESciImageReaderError>("Hi-lo packed subblock has an odd size.");
    TByteDynArray samples(out.size());
    UnpackHiLoBytes(out.data(), out.size() / 2, samples.data());
    out.swap(samples);
  }
  return out;
}

void UnpackHiLoBytes(const uint8_t* src, size_t samples, uint8_t* dest) {
  const uint8_t* high = src + samples;
  size_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= samples; i += 16) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 2 * i), _mm_unpacklo_epi8(lo, hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 2 * i + 16), _mm_unpackhi_epi8(lo, hi));
  }
#endif
  for (; i < samples; ++i) {
    dest[2 * i] = src[i];
    dest[2 * i + 1] = high[i];
  }
}

}  // namespace orbelin
