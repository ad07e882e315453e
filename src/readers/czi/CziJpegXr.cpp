#include <cstring>
#include <utility>

#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

// The codec's header defines min and max as macros; it comes after the standard headers.
#include <JXRGlue.h>
#undef min
#undef max

namespace orbelin {

namespace {

struct TJxrDecoder {
  WMPStream* stream = nullptr;
  PKImageDecode* decoder = nullptr;
  ~TJxrDecoder() {
    if (decoder) decoder->Release(&decoder);
    if (stream) stream->Close(&stream);
  }
};

bool SameFormat(const PKPixelFormatGUID& a, const PKPixelFormatGUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void Check(ERR result, const char* step) {
  if (Failed(result)) RaiseErrorFmt<ESciImageReaderError>("JPEG XR subblock: %s failed (%ld).", step, static_cast<long>(result));
}

}  // namespace

// Grey 8 and 16 bit, 32-bit float grey and blue-green-red colour pictures;
// red-green-blue ones are turned around to the order the subblock's pixel type names.
TByteDynArray DecodeCziJpegXr(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  if (shape.PlaneCount != 1) RaiseError<ESciImageReaderError>("JPEG XR subblock with more than one plane.");
  const int pixelBytes = shape.Components * shape.SampleBytes;
  TJxrDecoder jxr;
  // The library only reads from the memory it is given.
  Check(CreateWS_Memory(&jxr.stream, const_cast<uint8_t*>(data), size), "opening the stream");
  Check(PKCodecFactory_CreateCodec(&IID_PKImageWmpDecode, reinterpret_cast<void**>(&jxr.decoder)), "creating");
  Check(jxr.decoder->Initialize(jxr.decoder, jxr.stream), "reading the header");
  I32 width = 0, height = 0;
  Check(jxr.decoder->GetSize(jxr.decoder, &width, &height), "reading the size");
  if (width != shape.Width || height != shape.Height)
    RaiseErrorFmt<ESciImageReaderError>("JPEG XR subblock of %dx%d pixels instead of %dx%d.", width, height,
                                        shape.Width, shape.Height);
  PKPixelFormatGUID format;
  Check(jxr.decoder->GetPixelFormat(jxr.decoder, &format), "reading the pixel format");
  bool swapRedBlue = false;
  int formatBytes = 0;
  if (SameFormat(format, GUID_PKPixelFormat8bppGray)) formatBytes = 1;
  else if (SameFormat(format, GUID_PKPixelFormat16bppGray)) formatBytes = 2;
  else if (SameFormat(format, GUID_PKPixelFormat32bppGrayFloat)) formatBytes = 4;
  else if (SameFormat(format, GUID_PKPixelFormat24bppBGR)) formatBytes = 3;
  else if (SameFormat(format, GUID_PKPixelFormat24bppRGB)) formatBytes = 3, swapRedBlue = true;
  else if (SameFormat(format, GUID_PKPixelFormat48bppRGB)) formatBytes = 6, swapRedBlue = true;
  if (formatBytes == 0 || formatBytes != pixelBytes)
    RaiseError<ESciImageReaderError>("JPEG XR subblock of a pixel format the subblock does not hold.");

  // The codec works in 16 × 16 macroblocks; give it whole ones and keep the picture.
  const int64_t paddedWidth = (int64_t{width} + 15) / 16 * 16, paddedHeight = (int64_t{height} + 15) / 16 * 16;
  const int64_t stride = paddedWidth * pixelBytes;
  TByteDynArray padded(static_cast<size_t>(stride * paddedHeight));
  const PKRect rect{0, 0, width, height};
  Check(jxr.decoder->Copy(jxr.decoder, &rect, padded.data(), static_cast<U32>(stride)), "decoding");
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(pixelBytes);
  TByteDynArray out(rowBytes * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    std::memcpy(out.data() + rowBytes * static_cast<size_t>(y), padded.data() + stride * y, rowBytes);
  if (swapRedBlue) {
    const size_t sample = static_cast<size_t>(shape.SampleBytes);
    for (size_t p = 0; p + static_cast<size_t>(pixelBytes) <= out.size(); p += static_cast<size_t>(pixelBytes))
      for (size_t b = 0; b < sample; ++b) std::swap(out[p + b], out[p + 2 * sample + b]);
  }
  return out;
}

}  // namespace orbelin
