#pragma once
// The on-disk structures of a CZI file: segment headers, the file header, the
// subblock directory with its dimension entries, and the pixel-type table.
// Every read is checked against the stream's size before it happens.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Stream.h"

namespace orbelin {

constexpr int64_t kCziSegmentHeaderSize = 32;
constexpr int64_t kCziMinimumFileSize = 544;
constexpr int64_t kCziFileHeaderAllocatedSize = 512;
constexpr int64_t kCziDirectoryEntrySize = 32;
constexpr int64_t kCziDimensionEntrySize = 20;
constexpr int64_t kCziSubblockFixedPart = 256;
// More images than any acquisition holds: a larger stack is taken for a forged file.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// Fuzzing takes the same paths with smaller stacks, so that each input stays quick.
constexpr int64_t kCziMaxImageCount = int64_t{1} << 12;
#else
constexpr int64_t kCziMaxImageCount = int64_t{1} << 20;
#endif
// The largest decoded subblock accepted (1 GiB).
constexpr int64_t kCziMaxSubblockBytes = int64_t{1} << 30;

// Compression codes of a directory entry.
enum TCziCompression : int32_t {
  czcNone = 0,
  czcJpeg = 1,
  czcLzw = 2,
  czcJpegXr = 4,
  czcZstd = 5,
  czcZstdWithHeader = 6,
};

struct TCziSegmentHeader {
  std::string Id;  // up to the first zero byte
  int64_t AllocatedSize = 0;
  int64_t UsedSize = 0;
};

struct TCziFileHeader {
  int32_t Major = 0;
  int32_t Minor = 0;
  int64_t DirectoryPosition = 0;
  int64_t MetadataPosition = 0;
};

struct TCziDimensionEntry {
  char Dimension = 0;
  int32_t Start = 0;
  int32_t Size = 0;
  float StartCoordinate = 0;
  int32_t StoredSize = 0;

  // The stored size when given, else the logical size.
  int32_t EffectiveSize() const { return StoredSize > 0 ? StoredSize : Size; }
  // Stored at the logical size (no pyramid reduction).
  bool FullResolution() const { return StoredSize < 1 || StoredSize == Size; }
};

struct TDirectoryEntryDV {
  int32_t PixelType = 0;
  int64_t FilePosition = 0;
  int32_t FilePart = 0;
  int32_t Compression = 0;
  uint8_t PyramidType = 0;
  std::vector<TCziDimensionEntry> Dimensions;  // TDirectoryEntryDV1s
};

// Reads a segment header at the stream's position; raises EReadError when the file is shorter.
TCziSegmentHeader ReadCziSegmentHeader(TStream& stream);
// The file header's fields that are used (segment data at offset 32).
TCziFileHeader ReadCziFileHeader(TStream& stream);
// One directory entry with its dimension entries at the stream's position;
// a dimension count that does not fit in the rest of the file raises EReadError.
TDirectoryEntryDV ReadCziDirectoryEntry(TStream& stream);
// The directory entries at the stream's position (entry count, 124 reserved
// bytes, the entries); an entry count beyond what the file can hold raises EReadError.
std::vector<TDirectoryEntryDV> ReadCziDirectory(TStream& stream);

// Stack dimension index of a dimension letter, -1 for X, Y and unknown letters.
int CziDimensionIndex(char letter);
// X, Y or a letter that maps to a stack dimension.
bool CziKnownDimension(char letter);

struct TCziPixelTypeInfo {
  const char* Name;
  uint8_t PixelType;  // framework pixel type
  int Components;
  uint8_t Layout;  // TColorLayout of multi-component types, clSingle otherwise
};
constexpr int kCziPixelTypeCount = 14;
// The table row of a CZI pixel type code; nullptr outside 0..13.
const TCziPixelTypeInfo* CziPixelTypeInfo(int code);
// The code of a pixel type name (case-insensitive), -1 when unknown.
int CziPixelTypeOf(const std::string& name);

}  // namespace orbelin
