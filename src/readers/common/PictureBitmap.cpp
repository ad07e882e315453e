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
      return picture;
    case QImage::Format_ARGB32:
      if (!dropAlpha) return picture;
      break;
    default:
      break;
  }
  if (!dropAlpha && picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_ARGB32);
  return picture.convertToFormat(QImage::Format_BGR888);
}

int PictureBytesPerPixel(const QImage& normalised) {
  switch (normalised.format()) {
    case QImage::Format_Grayscale8: return 1;
    case QImage::Format_Grayscale16: return 2;
    case QImage::Format_BGR888: return 3;
    case QImage::Format_ARGB32: return 4;
    default: return 0;
  }
}

bool IsGreyPicture(const QImage& normalised) {
  const int bytes = PictureBytesPerPixel(normalised);
  if (bytes == 1 || bytes == 2) return true;
  if (bytes != 3) return false;
  const int width = normalised.width();
  for (int y = 0; y < normalised.height(); ++y) {
    const uchar* pixel = normalised.constScanLine(y);
    for (int x = 0; x < width; ++x, pixel += 3)
      if (pixel[0] != pixel[1] || pixel[1] != pixel[2]) return false;
  }
  return true;
}

bool ComponentIsInformative(const QImage& normalised, int offset) {
  const int bytes = PictureBytesPerPixel(normalised);
  if (bytes < 3 || offset < 0 || offset >= bytes || normalised.width() <= 0 || normalised.height() <= 0)
    return false;
  const uchar first = normalised.constScanLine(0)[offset];
  if (first != 0 && first != 255) return true;
  const int width = normalised.width();
  for (int y = 0; y < normalised.height(); ++y) {
    const uchar* sample = normalised.constScanLine(y) + offset;
    for (int x = 0; x < width; ++x, sample += bytes)
      if (*sample != first) return true;
  }
  return false;
}

void CopyPictureComponent(const QImage& normalised, int offset, TByteDynArray& data) {
  const int bytes = PictureBytesPerPixel(normalised);
  const size_t width = static_cast<size_t>(normalised.width());
  const size_t height = static_cast<size_t>(normalised.height());
  if (bytes == 0) {
    data.clear();
    return;
  }
  if (bytes <= 2) {
    const size_t rowBytes = width * static_cast<size_t>(bytes);
    data.resize(rowBytes * height);
    for (size_t y = 0; y < height; ++y)
      std::memcpy(data.data() + y * rowBytes, normalised.constScanLine(static_cast<int>(y)), rowBytes);
    return;
  }
  if (offset < 0 || offset >= bytes) offset = 0;
  data.resize(width * height);
  uint8_t* out = data.data();
  for (size_t y = 0; y < height; ++y) {
    const uchar* sample = normalised.constScanLine(static_cast<int>(y)) + offset;
    for (size_t x = 0; x < width; ++x, sample += bytes) *out++ = *sample;
  }
}

}  // namespace orbelin
