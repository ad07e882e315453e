#pragma once
// Reader of ordinary pictures (PNG, JPEG, BMP, GIF, icons; metafiles are
// recognised but have no decoder here): the picture's informative colour
// components become channels, the frames of an animated GIF become time
// points, positions or planes, and every image is delivered as its 8-bit
// samples (16-bit grey pictures keep their 16 bits).
#include <QImage>

#include <cstdint>
#include <mutex>
#include <string>

#include "readers/common/PictureFormat.h"
#include "readers/framework/SciImageReader.h"

namespace orbelin {

// What the frames of an animated picture become.
enum TFrameDimension : uint8_t {
  fdTimePoints = 0,
  fdPositions = 1,
  fdPlanes = 2,
};

// The process-wide frame dimension setting; values outside the enumeration count as positions.
void SetCommonFormatFrameDimension(uint8_t dimension);
uint8_t CommonFormatFrameDimension();

class TCommonFormatReader : public TSciImageReader {
public:
  TCommonFormatReader() = default;
  ~TCommonFormatReader() override;

  // 10000 when the first bytes name a picture format, else 0.
  static int CanRead(const std::string& fileName);

  void Close() override;

  // The decoded picture kept between reads (test hook): its file and frame, -1 when none.
  const std::string& CachedFileName() const { return cacheFile_; }
  int CachedFrame() const { return cacheFrame_; }

protected:
  // Reopening the file whose picture is cached keeps the picture.
  void PrepareOpen(const std::string& fileName) override;
  int ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) override;
  bool ReadImageData(int index, TByteDynArray& data) override;

private:
  void CachePicture(const std::string& fileName, int frame, const QImage& normalised);
  void DropPicture();

  // Reads may come from several threads; the cache is theirs to share.
  std::mutex cacheLock_;
  QImage cache_;
  std::string cacheFile_;
  int cacheFrame_ = -1;
};

}  // namespace orbelin
