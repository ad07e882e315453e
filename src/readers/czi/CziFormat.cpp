#include "readers/czi/CziFormat.h"

#include <cstring>
#include <strings.h>

#include "foundation/Exceptions.h"
#include "readers/framework/ColorLayout.h"
#include "readers/framework/StackModel.h"

namespace orbelin {

namespace {

void Require(TStream& stream, int64_t bytes) {
  if (bytes < 0 || stream.Remaining() < bytes) RaiseError<EReadError>("Stream read error");
}

}  // namespace

TCziSegmentHeader ReadCziSegmentHeader(TStream& stream) {
  char id[17] = {};
  stream.ReadBuffer(id, 16);
  TCziSegmentHeader header;
  header.Id = id;
  header.AllocatedSize = ReadInt64(stream);
  header.UsedSize = ReadInt64(stream);
  return header;
}

TCziFileHeader ReadCziFileHeader(TStream& stream) {
  uint8_t bytes[80];
  stream.ReadBuffer(bytes, sizeof bytes);
  TCziFileHeader header;
  std::memcpy(&header.Major, bytes + 0, 4);
  std::memcpy(&header.Minor, bytes + 4, 4);
  std::memcpy(&header.DirectoryPosition, bytes + 52, 8);
  std::memcpy(&header.MetadataPosition, bytes + 60, 8);
  return header;
}

TDirectoryEntryDV ReadCziDirectoryEntry(TStream& stream) {
  uint8_t bytes[kCziDirectoryEntrySize];
  stream.ReadBuffer(bytes, sizeof bytes);
  TDirectoryEntryDV entry;
  std::memcpy(&entry.PixelType, bytes + 2, 4);
  std::memcpy(&entry.FilePosition, bytes + 6, 8);
  std::memcpy(&entry.FilePart, bytes + 14, 4);
  std::memcpy(&entry.Compression, bytes + 18, 4);
  entry.PyramidType = bytes[22];
  int32_t count;
  std::memcpy(&count, bytes + 28, 4);
  if (count < 0) RaiseError<EReadError>("Stream read error");
  Require(stream, int64_t{count} * kCziDimensionEntrySize);
  entry.Dimensions.resize(static_cast<size_t>(count));
  for (TCziDimensionEntry& dimension : entry.Dimensions) {
    uint8_t raw[kCziDimensionEntrySize];
    stream.ReadBuffer(raw, sizeof raw);
    dimension.Dimension = static_cast<char>(raw[0]);
    std::memcpy(&dimension.Start, raw + 4, 4);
    std::memcpy(&dimension.Size, raw + 8, 4);
    std::memcpy(&dimension.StartCoordinate, raw + 12, 4);
    std::memcpy(&dimension.StoredSize, raw + 16, 4);
  }
  return entry;
}

std::vector<TDirectoryEntryDV> ReadCziDirectory(TStream& stream) {
  const uint32_t count = ReadUInt32(stream);
  stream.Seek(stream.Position() + 124);
  // Each entry takes at least its fixed part, so the count is bounded by the file.
  Require(stream, int64_t{count} * kCziDirectoryEntrySize);
  std::vector<TDirectoryEntryDV> entries;
  entries.reserve(count);
  for (uint32_t i = 0; i < count; ++i) entries.push_back(ReadCziDirectoryEntry(stream));
  return entries;
}

int CziDimensionIndex(char letter) {
  switch (letter) {
    case 'C': return dimChannel;
    case 'Z': return dimPlane;
    case 'T': return dimTime;
    case 'S': return dimPosition;
    case 'B': return dimBlock;
    case 'M': return dimMosaic;
    case 'H': return dimPhase;
    case 'R': return dimRotation;
    case 'I': return dimIllumination;
    case 'V': return dimView;
    default: return -1;
  }
}

bool CziKnownDimension(char letter) { return letter == 'X' || letter == 'Y' || CziDimensionIndex(letter) >= 0; }

namespace {

constexpr TCziPixelTypeInfo kPixelTypes[kCziPixelTypeCount] = {
    {"Gray8", ptUInt8, 1, clSingle},
    {"Gray16", ptUInt16, 1, clSingle},
    {"Gray32Float", ptFloat32, 1, clSingle},
    {"Bgr24", ptUInt8, 3, clBGR},
    {"Bgr48", ptUInt16, 3, clBGR},
    {"", ptUInt8, 1, clSingle},
    {"", ptUInt8, 1, clSingle},
    {"", ptUInt8, 1, clSingle},
    {"Bgr96Float", ptFloat32, 3, clBGR},
    {"Bgra32", ptUInt8, 4, clBGRA},
    {"Gray64ComplexFloat", ptComplex, 1, clSingle},
    {"Bgr192ComplexFloat", ptComplex, 3, clBGR},
    {"Gray32", ptUInt32, 1, clSingle},
    {"Gray64", ptInt64, 1, clSingle},
};

}  // namespace

const TCziPixelTypeInfo* CziPixelTypeInfo(int code) {
  return code >= 0 && code < kCziPixelTypeCount ? &kPixelTypes[code] : nullptr;
}

int CziPixelTypeOf(const std::string& name) {
  if (name.empty()) return -1;
  for (int code = 0; code < kCziPixelTypeCount; ++code)
    if (kPixelTypes[code].Name[0] != 0 && strcasecmp(kPixelTypes[code].Name, name.c_str()) == 0) return code;
  return -1;
}

}  // namespace orbelin
