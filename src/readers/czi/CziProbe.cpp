#include <cmath>

#include "foundation/Exceptions.h"
#include "readers/czi/ZeissCziReader.h"

namespace orbelin {

namespace {

bool Decodable(int32_t compression) {
  switch (compression) {
    case czcNone:
    case czcJpeg:
    case czcLzw:
    case czcJpegXr:
    case czcZstd:
    case czcZstdWithHeader:
      return true;
    default:
      return false;
  }
}

}  // namespace

int TZeissCziReader::CanRead(const std::string& fileName) {
  try {
    auto stream = OpenFileRead(fileName);
    return CanRead(*stream);
  } catch (const std::exception&) {
    return 0;
  }
}

int TZeissCziReader::CanRead(TStream& stream) {
  try {
    if (stream.Size() < kCziMinimumFileSize) return 0;
    stream.Seek(0);
    const TCziSegmentHeader segment = ReadCziSegmentHeader(stream);
    const TCziFileHeader header = ReadCziFileHeader(stream);
    if (segment.Id != "ZISRAWFILE" || segment.AllocatedSize != kCziFileHeaderAllocatedSize) return 0;
    if (header.DirectoryPosition < kCziMinimumFileSize) return 0;
    stream.Seek(header.DirectoryPosition);
    if (ReadCziSegmentHeader(stream).Id != "ZISRAWDIRECTORY") return 0;
    const std::vector<TDirectoryEntryDV> entries = ReadCziDirectory(stream);
    if (entries.empty()) return 0;
    // Entries the reader cannot decode weigh five times as much as those it
    // delivers only approximately (stretched from floating or wide samples).
    int64_t bad = 0, partial = 0, known = 0, unknown = 0;
    for (const TDirectoryEntryDV& entry : entries) {
      const TCziPixelTypeInfo* type = CziPixelTypeInfo(entry.PixelType);
      if (!type || !Decodable(entry.Compression)) ++bad;
      else if (type->PixelType != ptUInt8 && type->PixelType != ptUInt16) ++partial;
      for (const TCziDimensionEntry& d : entry.Dimensions) (CziKnownDimension(d.Dimension) ? known : unknown)++;
    }
    if (known + unknown == 0) return 0;
    const double share = 1.0 - static_cast<double>(5 * bad + partial) / static_cast<double>(entries.size()) / 5.0;
    return static_cast<int>(std::nearbyint(share * 9900.0 * static_cast<double>(known) /
                                           static_cast<double>(known + unknown))) + 100;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace orbelin
