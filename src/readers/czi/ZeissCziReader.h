#pragma once
// Reader of Zeiss CZI files: a chain of segments (file header, subblock
// directory, XML metadata, subblocks). The directory says which subblock
// supplies which image; the metadata gives sizes, channels, scenes and steps.
#include <cstdint>
#include <string>
#include <vector>

#include "readers/czi/CziFormat.h"
#include "readers/framework/ReaderRegistry.h"
#include "readers/framework/SciImageReader.h"

namespace orbelin {

class TZeissCziReader : public TSciImageReader {
public:
  // What the reader keeps of each directory entry between Open and Close.
  struct TSubBlock {
    int32_t PixelType = 0;  // CZI pixel type code
    int64_t FilePosition = 0;
    int32_t Compression = 0;
    int32_t PyramidType = 0;
    int32_t PlaneCount = 0;
    TLevelTypes Dims;
    TDimensionSizes DimSizes{};
    int32_t MetadataSize = -1;  // these three are known once the subblock was read
    int32_t AttachmentSize = -1;
    int64_t DataSize = -1;
  };

  TZeissCziReader() = default;
  ~TZeissCziReader() override;

  // 0 when the file is no CZI; up to 10000 by the share of entries and dimensions it understands.
  static int CanRead(const std::string& fileName);
  static int CanRead(TStream& stream);

  void Close() override;
  const std::vector<TSubBlock>& SubBlocks() const { return subBlocks_; }

protected:
  int ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) override;
  bool ReadImageData(int index, TByteDynArray& data) override;
  TDirectRead ReadImageDirect(int index, int component, int components, TWordDynArray& plane) override;

private:
  // Where the pixel data of image `index`'s subblock lies in `stream`; false
  // when the image has no subblock or the subblock does not fit in the file.
  bool LocateData(int index, TStream& stream, int64_t& dataOffset, int64_t& dataSize);

  std::vector<TSubBlock> subBlocks_;
};

// The registry's descriptor of the CZI reader class.
const TReaderClass& ZeissCziReaderClass();

}  // namespace orbelin
