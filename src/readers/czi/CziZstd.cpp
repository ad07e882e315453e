#include <zstd.h>

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
TByteDynArray DecodeZstdWithHeader(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  if (size < 1) RaiseError<ESciImageReaderError>("zstd subblock without header.");
  const size_t headerSize = data[0];
  bool hiLo = false;
  if (headerSize == 3) {
    if (size < 3 || data[1] != 1) RaiseError<ESciImageReaderError>("zstd subblock header is damaged.");
    hiLo = (data[2] & 1) != 0;
  } else if (headerSize != 1) {
    RaiseErrorFmt<ESciImageReaderError>("zstd subblock header of %zu bytes is unknown.", headerSize);
  }
  TByteDynArray out = DecodeZstdFrame(data + headerSize, size - headerSize, shape.ExpectedBytes());
  if (hiLo && shape.SampleBytes == 2) {
    if (out.size() % 2 != 0) RaiseError<ESciImageReaderError>("Hi-lo packed subblock has an odd size.");
    const size_t half = out.size() / 2;
    TByteDynArray samples(out.size());
    for (size_t i = 0; i < half; ++i) {
      samples[2 * i] = out[i];
      samples[2 * i + 1] = out[half + i];
    }
    out.swap(samples);
  }
  return out;
}

}  // namespace orbelin
