#include "readers/common/PictureBitmap.h"

#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QSysInfo>

#include <cstring>

namespace orbelin {

static_assert(QSysInfo::ByteOrder == QSysInfo::LittleEndian,
              "32-bit pictures are read as B,G,R,A bytes, the memory order of ARGB32 on little-endian machines");

const char* PictureDecoderName(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::pfPng: return "png";
    case TPictureFormat::pfIcon: return "ico";
    case TPictureFormat::pfGif: return "gif";
    case TPictureFormat::pfJpeg: return "jpeg";
    case TPictureFormat::pfBitmap: return "bmp";
    case TPictureFormat::pfMetafile:  // no decoder for Windows metafiles on this platform
    case TPictureFormat::pfUnknown: break;
  }
  return nullptr;
}

int DecodePictureFrames(const std::string& fileName, TPictureFormat format, int lastFrame,
                        const std::function<bool(const TPictureFrame&)>& visit) {
  const char* decoder = PictureDecoderName(format);
  if (decoder == nullptr) return 0;
  QImageReader reader(QFile::decodeName(QByteArray::fromStdString(fileName)), QByteArray(decoder));
  reader.setAutoTransform(false);
  reader.setDecideFormatFromContent(false);
  int decoded = 0;
  TPictureFrame frame;
  while (lastFrame < 0 || decoded <= lastFrame) {
    if (!reader.read(&frame.Image) || frame.Image.isNull()) break;
    frame.DelayMs = reader.nextImageDelay();
    ++decoded;
    if (!visit(frame)) break;
  }
  return decoded;
}

QImage DecodePictureFrame(const std::string& fileName, TPictureFormat format, int frame) {
  if (frame < 0) return {};
  QImage result;
  int index = 0;
  DecodePictureFrames(fileName, format, frame, [&](const TPictureFrame& decoded) {
    if (index++ == frame) {
      result = decoded.Image;
      return false;
    }
    return true;
  });
  return result;
}

QImage NormalisePicture(const QImage& picture, bool dropAlpha) {
  switch (picture.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX64:
      return picture;
    case QImage::Format_ARGB32:
    case QImage::Format_RGBA64:
      if (!dropAlpha) return picture;
      break;
    default:
      break;
  }
  const bool alpha = !dropAlpha && picture.hasAlphaChannel();
  // 16 bits per component stay 16 bits: only 16-bit layouts keep them.
  if (picture.depth() == 64)
    return picture.convertToFormat(alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
  return picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
}

TPictureLayout PictureLayoutOf(const QImage& normalised) {
  switch (normalised.format()) {
    case QImage::Format_Grayscale8: return {1, 1, 1};
    case QImage::Format_Grayscale16: return {1, 2, 2};
    case QImage::Format_BGR888: return {3, 1, 3};
    case QImage::Format_ARGB32: return {4, 1, 4};
    case QImage::Format_RGBX64: return {3, 2, 8};
    case QImage::Format_RGBA64: return {4, 2, 8};
    default: return {0, 0, 0};
  }
}

namespace {

// Byte position of a component (given by its 8-bit offset, blue first) in a pixel:
// 16-bit layouts hold red, green, blue, alpha in that order.
int ComponentBytePosition(const TPictureLayout& layout, int offset) {
  if (layout.SampleBytes == 1) return offset;
  return 2 * (offset == kAlphaOffset ? 3 : kRedOffset - offset);
}

uint16_t SampleAt(const uchar* pixel, int sampleBytes) {
  if (sampleBytes == 1) return *pixel;
  uint16_t value;
  std::memcpy(&value, pixel, sizeof value);
  return value;
}

}  // namespace

bool IsGreyPicture(const QImage& normalised) {
  const TPictureLayout layout = PictureLayoutOf(normalised);
  if (layout.Components == 1) return true;
  if (layout.Components != 3) return false;
  const int blue = ComponentBytePosition(layout, kBlueOffset);
  const int green = ComponentBytePosition(layout, kGreenOffset);
  const int red = ComponentBytePosition(layout, kRedOffset);
  const int width = normalised.width();
  for (int y = 0; y < normalised.height(); ++y) {
    const uchar* pixel = normalised.constScanLine(y);
    for (int x = 0; x < width; ++x, pixel += layout.PixelBytes) {
      const uint16_t b = SampleAt(pixel + blue, layout.SampleBytes);
      if (SampleAt(pixel + green, layout.SampleBytes) != b || SampleAt(pixel + red, layout.SampleBytes) != b)
        return false;
    }
  }
  return true;
}

bool ComponentIsInformative(const QImage& normalised, int offset) {
  const TPictureLayout layout = PictureLayoutOf(normalised);
  if (layout.Components < 3 || offset < 0 || offset >= layout.Components || normalised.width() <= 0 ||
      normalised.height() <= 0)
    return false;
  const int position = ComponentBytePosition(layout, offset);
  const uint16_t full = layout.SampleBytes == 2 ? 65535 : 255;
  const uint16_t first = SampleAt(normalised.constScanLine(0) + position, layout.SampleBytes);
  if (first != 0 && first != full) return true;
  const int width = normalised.width();
  for (int y = 0; y < normalised.height(); ++y) {
    const uchar* sample = normalised.constScanLine(y) + position;
    for (int x = 0; x < width; ++x, sample += layout.PixelBytes)
      if (SampleAt(sample, layout.SampleBytes) != first) return true;
  }
  return false;
}

void CopyPictureComponent(const QImage& normalised, int offset, TByteDynArray& data) {
  const TPictureLayout layout = PictureLayoutOf(normalised);
  const size_t width = static_cast<size_t>(normalised.width());
  const size_t height = static_cast<size_t>(normalised.height());
  if (layout.Components == 0) {
    data.clear();
    return;
  }
  const size_t sampleBytes = static_cast<size_t>(layout.SampleBytes);
  const size_t rowBytes = width * sampleBytes;
  data.resize(rowBytes * height);
  if (layout.Components == 1) {
    for (size_t y = 0; y < height; ++y)
      std::memcpy(data.data() + y * rowBytes, normalised.constScanLine(static_cast<int>(y)), rowBytes);
    return;
  }
  if (offset < 0 || offset >= layout.Components) offset = 0;
  const int position = ComponentBytePosition(layout, offset);
  uint8_t* out = data.data();
  for (size_t y = 0; y < height; ++y) {
    const uchar* sample = normalised.constScanLine(static_cast<int>(y)) + position;
    for (size_t x = 0; x < width; ++x, sample += layout.PixelBytes, out += sampleBytes)
      std::memcpy(out, sample, sampleBytes);
  }
}

}  // namespace orbelin
