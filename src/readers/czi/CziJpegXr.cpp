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

// The codec trusts the container's directory and stops the program on some
// values it does not expect, so it is only given a container rebuilt here from
// the entries that decoding needs, each checked: pixel format, width, height
// and the place of the image data.
struct TCheckedContainer {
  TByteDynArray Bytes;
  PKPixelFormatGUID Format{};
};

// The codestream's own headers size the codec's buffers, which it does not
// check for failure: the picture must be the subblock's, grey or colour as
// the subblock says, without an alpha plane, with no more tiles than
// macroblocks, and its plane header must name a known colour format and band set.
void CheckCodestream(const uint8_t* stream, size_t size, const TCziPlaneShape& shape) {
  auto fail = [] { RaiseError<ESciImageReaderError>("JPEG XR subblock: codestream does not match its plane."); };
  if (size < 16 || std::memcmp(stream, "WMPHOTO", 8) != 0) fail();
  size_t at = 8;
  auto read = [&](size_t bytes) {
    if (at + bytes > size) fail();
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = value << 8 | stream[at++];
    return value;
  };
  const uint32_t flags = read(4);
  const bool tiling = (flags & 0x800000) != 0, shortHeader = (flags & 0x8000) != 0;
  const bool windowing = (flags & 0x2000) != 0, alphaPlane = (flags & 0x100) != 0;
  const uint32_t outputFormat = (flags >> 4) & 0xF, outputDepth = flags & 0xF;
  const uint32_t width = read(shortHeader ? 2 : 4) + uint64_t{1}, height = read(shortHeader ? 2 : 4) + uint64_t{1};
  if (alphaPlane || width != static_cast<uint32_t>(shape.Width) || height != static_cast<uint32_t>(shape.Height)) fail();
  const bool grey = shape.Components == 1;
  // Output colour formats: 0 grey, 7 RGB; depths: 1 eight bits, 2 sixteen, 7 float.
  const uint32_t depth = shape.SampleBytes == 1 ? 1 : shape.SampleBytes == 2 ? 2 : 7;
  if (outputFormat != (grey ? 0u : 7u) || outputDepth != depth) fail();
  if (tiling) {
    const uint32_t tiles = read(3);  // 12 bits of vertical, 12 of horizontal tiles, each minus 1
    const uint32_t columns = (tiles >> 12) + 1, rows = (tiles & 0xFFF) + 1;
    if (columns > (width + 15) / 16 || rows > (height + 15) / 16) fail();
    at += (columns - 1 + rows - 1) * (shortHeader ? 1 : 2);
  }
  if (windowing) at += 3;  // four 6-bit margins
  // Plane header: internal colour format (3 bits), a flag, the bands present (4 bits).
  const uint32_t plane = read(1);
  const uint32_t internalFormat = plane >> 5, bands = plane & 0xF;
  if ((grey ? internalFormat != 0 : internalFormat < 1 || internalFormat > 3) || bands > 3) fail();
}

TCheckedContainer RebuildContainer(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  auto fail = [] { RaiseError<ESciImageReaderError>("JPEG XR subblock: damaged container."); };
  auto u16 = [&](size_t at) {
    if (at + 2 > size) fail();
    return static_cast<uint32_t>(data[at] | data[at + 1] << 8);
  };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (size < 8 || data[0] != 'I' || data[1] != 'I' || data[2] != 0xBC) fail();
  const size_t directory = u32(4);
  const uint32_t entries = u16(directory);
  const uint8_t* format = nullptr;
  uint32_t width = 0, height = 0, imageOffset = 0, imageBytes = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + size_t{12} * i;
    const uint32_t tag = u16(entry), type = u16(entry + 2), count = u32(entry + 4);
    const uint32_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
    const bool number = (type == 3 || type == 4) && count == 1;
    switch (tag) {
      case 0xBC01:  // pixel format: 16 bytes elsewhere in the file
        if (type != 1 || count != 16 || size_t{value} + 16 > size) fail();
        format = data + value;
        break;
      case 0xBC80:
        if (!number) fail();
        width = value;
        break;
      case 0xBC81:
        if (!number) fail();
        height = value;
        break;
      case 0xBCC0:
        if (!number) fail();
        imageOffset = value;
        break;
      case 0xBCC1:
        if (!number) fail();
        imageBytes = value;
        break;
      default:
        break;  // orientation, resolution, alpha and descriptive entries are left out
    }
  }
  if (!format || width == 0 || height == 0 || imageBytes == 0 || size_t{imageOffset} + imageBytes > size) fail();
  CheckCodestream(data + imageOffset, imageBytes, shape);

  TCheckedContainer container;
  std::memcpy(&container.Format, format, sizeof container.Format);
  constexpr uint32_t kEntries = 5, kFormatAt = 8 + 2 + 12 * kEntries + 4, kImageAt = kFormatAt + 16;
  TByteDynArray& out = container.Bytes;
  out.reserve(kImageAt + imageBytes);
  auto put16 = [&](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out = {'I', 'I', 0xBC, static_cast<uint8_t>(data[3] <= 1 ? data[3] : 1)};
  put32(8);
  put16(kEntries);
  const uint32_t fields[kEntries][4] = {{0xBC01, 1, 16, kFormatAt},
                                        {0xBC80, 4, 1, width},
                                        {0xBC81, 4, 1, height},
                                        {0xBCC0, 4, 1, kImageAt},
                                        {0xBCC1, 4, 1, imageBytes}};
  for (const auto& field : fields) {
    put16(field[0]);
    put16(field[1]);
    put32(field[2]);
    put32(field[3]);
  }
  put32(0);
  out.insert(out.end(), format, format + 16);
  out.insert(out.end(), data + imageOffset, data + imageOffset + imageBytes);
  return container;
}

bool KnownFormat(const PKPixelFormatGUID& format) {
  for (const PKPixelFormatGUID* known :
       {&GUID_PKPixelFormat8bppGray, &GUID_PKPixelFormat16bppGray, &GUID_PKPixelFormat32bppGrayFloat,
        &GUID_PKPixelFormat24bppBGR, &GUID_PKPixelFormat24bppRGB, &GUID_PKPixelFormat48bppRGB})
    if (SameFormat(format, *known)) return true;
  return false;
}

}  // namespace

// Grey 8 and 16 bit, 32-bit float grey and blue-green-red colour pictures;
// red-green-blue ones are turned around to the order the subblock's pixel type names.
TByteDynArray DecodeCziJpegXr(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  if (shape.PlaneCount != 1) RaiseError<ESciImageReaderError>("JPEG XR subblock with more than one plane.");
  const int pixelBytes = shape.Components * shape.SampleBytes;
  TCheckedContainer container = RebuildContainer(data, size, shape);
  if (!KnownFormat(container.Format))
    RaiseError<ESciImageReaderError>("JPEG XR subblock of a pixel format the subblock does not hold.");
  TJxrDecoder jxr;
  Check(CreateWS_Memory(&jxr.stream, container.Bytes.data(), container.Bytes.size()), "opening the stream");
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
  const ERR copied = jxr.decoder->Copy(jxr.decoder, &rect, padded.data(), static_cast<U32>(stride));
  if (Failed(copied)) {
    // The codec ends its decoding contexts only after the last row; a stream
    // that breaks off before leaves them to whoever called it.
    if (jxr.decoder->WMP.ctxSC) ImageStrDecTerm(jxr.decoder->WMP.ctxSC);
    if (jxr.decoder->WMP.ctxSC_Alpha) ImageStrDecTerm(jxr.decoder->WMP.ctxSC_Alpha);
    jxr.decoder->WMP.ctxSC = nullptr;
    jxr.decoder->WMP.ctxSC_Alpha = nullptr;
    Check(copied, "decoding");
  }
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
