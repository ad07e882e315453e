#pragma once
// Reader of chunked ND2 files: the chunk map, the metadata chunks (binary LV
// or XML) and the image-data chunks, described through the stack model. Files
// of the older JPEG 2000 box kind are recognised but not read.
#include <string>

#include "readers/framework/ReaderRegistry.h"
#include "readers/framework/SciImageReader.h"
#include "readers/nd2/Nd2Header.h"

namespace orbelin {

class TNikonNd2Reader final : public TSciImageReader {
public:
  TNikonNd2Reader() = default;
  ~TNikonNd2Reader() override;

  // 0 cannot read; 1000 probably; 10000 certain.
  static int CanRead(const std::string& fileName);

  void Close() override;
  // The sequence step of (position, time point, plane) times the channels, plus the channel.
  int ImageIndexOf(const TCoordinate& coordinate) const override;

  // Receives the warnings met while reading (they also go to the log).
  TReportSink OnReport;

  const TNd2Header& Header() const { return header_; }

protected:
  int ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) override;
  bool ReadImageData(int index, TByteDynArray& data) override;
  TDirectRead ReadImageDirect(int index, int component, int components, TWordDynArray& plane) override;

private:
  void Report(const std::string& text);
  std::string ImageFileName(int index) const;
  void FillStack(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) const;

  TNd2Header header_;
};

// The class as the reader registry knows it.
const TReaderClass& NikonNd2ReaderClass();

}  // namespace orbelin
