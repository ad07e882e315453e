#include "readers/czi/ZeissCziReader.h"

#include <algorithm>
#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"
#include "readers/czi/CziDecode.h"
#include "readers/czi/CziMetadata.h"
#include "readers/czi/CziStackBuilder.h"
#include "readers/czi/CziZstdPlane.h"

namespace orbelin {

const TReaderClass& ZeissCziReaderClass() {
  static const TReaderClass readerClass{
      "TZeissCziReader", [](const std::string& fileName) { return TZeissCziReader::CanRead(fileName); },
      []() -> std::unique_ptr<TSciImageReader> { return std::make_unique<TZeissCziReader>(); }};
  return readerClass;
}

TZeissCziReader::~TZeissCziReader() { TZeissCziReader::Close(); }

void TZeissCziReader::Close() {
  TSciImageReader::Close();
  Lock();
  subBlocks_.clear();
  subBlocks_.shrink_to_fit();
  Unlock();
}

int TZeissCziReader::ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) {
  try {
    auto stream = OpenFileRead(fileName);
    Log("Incorrect MagicNum.");
    if (stream->Size() < kCziMinimumFileSize) return kReadHeaderInconsistent;

    Log("Incorrect file header.");
    const TCziSegmentHeader segment = ReadCziSegmentHeader(*stream);
    const TCziFileHeader header = ReadCziFileHeader(*stream);
    if (segment.Id != "ZISRAWFILE") return kReadHeaderInconsistent;

    Log("Incorrect header size.");
    if (segment.AllocatedSize != kCziFileHeaderAllocatedSize || header.DirectoryPosition < kCziMinimumFileSize)
      return kReadHeaderInconsistent;

    Log("Incorrect primary subblock size.");
    stream->Seek(header.DirectoryPosition);
    if (ReadCziSegmentHeader(*stream).Id != "ZISRAWDIRECTORY") return kReadHeaderInconsistent;

    Log("Incorrect directory entry.");
    const std::vector<TDirectoryEntryDV> entries = ReadCziDirectory(*stream);
    if (entries.empty()) return kReadHeaderInconsistent;

    TCziScaling scaling;
    bool hasSizes = false;
    // A file without a metadata segment is described from its directory alone.
    if (header.MetadataPosition > 0) {
      Log("Incorrect segment header.");
      stream->Seek(header.MetadataPosition);
      if (ReadCziSegmentHeader(*stream).Id != "ZISRAWMETADATA") return kReadHeaderInconsistent;
      const uint32_t xmlSize = ReadUInt32(*stream);
      stream->Seek(stream->Position() + 252);
      if (stream->Remaining() < int64_t{xmlSize}) return kReadHeaderInconsistent;
      std::string xml(xmlSize, '\0');
      stream->ReadBuffer(xml.data(), xml.size());
      hasSizes = ReadCziMetadata(xml, stackInfo, scaling);
    }

    Log("Failed to prepare varibles.");
    BuildCziStack(entries, hasSizes, scaling, fileName, stackInfo, imageInfos, subBlocks_);
    return kReadHeaderSuccess;
  } catch (...) {
    return kReadHeaderInconsistent;
  }
}

namespace {

// Complex samples are stored as pairs of 32-bit floats; the stack model's
// complex type is a pair of doubles.
TByteDynArray WidenComplex(const TByteDynArray& floats) {
  const size_t values = floats.size() / sizeof(float);
  TByteDynArray wide(values * sizeof(double));
  for (size_t i = 0; i < values; ++i) {
    float v;
    std::memcpy(&v, floats.data() + i * sizeof v, sizeof v);
    const double d = v;
    std::memcpy(wide.data() + i * sizeof d, &d, sizeof d);
  }
  return wide;
}

}  // namespace

bool TZeissCziReader::LocateData(int index, TStream& stream, int64_t& dataOffset, int64_t& dataSize) {
  const TImageInfo& info = ImageInfos()[static_cast<size_t>(index)];
  const TSubBlock& block = subBlocks_[static_cast<size_t>(info.SourceEntry)];
  stream.Seek(block.FilePosition);
  if (block.FilePosition < 0 || ReadCziSegmentHeader(stream).Id != "ZISRAWSUBBLOCK") return false;
  const int64_t dataStart = stream.Position();
  const int32_t metadataSize = ReadInt32(stream);
  const int32_t attachmentSize = ReadInt32(stream);
  dataSize = ReadInt64(stream);
  ReadCziDirectoryEntry(stream);
  if (stream.Position() - dataStart < kCziSubblockFixedPart) stream.Seek(dataStart + kCziSubblockFixedPart);
  if (metadataSize < 0 || dataSize < 0) return false;
  dataOffset = stream.Position() + metadataSize;
  stream.Seek(dataOffset);
  if (stream.Remaining() < dataSize) return false;
  Lock();
  TSubBlock& record = subBlocks_[static_cast<size_t>(info.SourceEntry)];
  record.MetadataSize = metadataSize;
  record.AttachmentSize = attachmentSize;
  record.DataSize = dataSize;
  Unlock();
  return true;
}

namespace {

// Bytes of one stored sample: complex samples are pairs of 32-bit floats in the file.
int StoredSampleBytes(const TCziPixelTypeInfo& type) {
  return type.PixelType == ptComplex ? 8 : PixelTypeBytes(type.PixelType);
}

bool HasSubblock(const TImageInfos& infos, int index, size_t subBlockCount) {
  if (index < 0 || static_cast<size_t>(index) >= infos.size()) return false;
  const TImageInfo& info = infos[static_cast<size_t>(index)];
  return info.SourceState == 0 && info.SourceEntry >= 0 && static_cast<size_t>(info.SourceEntry) < subBlockCount;
}

}  // namespace

bool TZeissCziReader::ReadImageData(int index, TByteDynArray& data) {
  try {
    if (!HasSubblock(ImageInfos(), index, subBlocks_.size())) return false;
    const TImageInfo& info = ImageInfos()[static_cast<size_t>(index)];
    const TSubBlock& block = subBlocks_[static_cast<size_t>(info.SourceEntry)];
    const TCziPixelTypeInfo* type = CziPixelTypeInfo(block.PixelType);
    if (!type) return false;

    auto stream = OpenFileRead(info.FileName.empty() ? FileName() : info.FileName);
    int64_t dataOffset = 0, dataSize = 0;
    if (!LocateData(index, *stream, dataOffset, dataSize)) return false;

    const int64_t planeBytes =
        TCziPlaneShape::SaturatedProduct({info.Width, info.Height, StoredSampleBytes(*type), type->Components});
    if (planeBytes <= 0 || planeBytes > kCziMaxSubblockBytes) return false;
    const int64_t planeOffset = int64_t{info.SourcePlane} * planeBytes;
    if (block.Compression == czcNone) {
      if (planeOffset + planeBytes > dataSize) return false;
      data.resize(static_cast<size_t>(planeBytes));
      stream->Seek(dataOffset + planeOffset);
      stream->ReadBuffer(data.data(), data.size());
    } else {
      TByteDynArray stored(static_cast<size_t>(dataSize));
      stream->ReadBuffer(stored.data(), stored.size());
      TCziPlaneShape shape;
      shape.Width = info.Width;
      shape.Height = info.Height;
      shape.Components = type->Components;
      shape.SampleBytes = StoredSampleBytes(*type);
      shape.PlaneCount = block.PlaneCount;
      shape.PixelType = block.PixelType;
      if (shape.ExpectedBytes() > kCziMaxSubblockBytes) return false;
      TByteDynArray decoded = DecodeCziSubblock(block.Compression, stored, shape);
      if (planeOffset == 0 && static_cast<int64_t>(decoded.size()) == planeBytes) {
        data = std::move(decoded);
      } else {
        data.assign(decoded.begin() + planeOffset, decoded.begin() + planeOffset + planeBytes);
      }
    }
    if (type->PixelType == ptComplex) data = WidenComplex(data);
    return true;
  } catch (const std::exception& error) {
    Log(error.what());
    return false;
  }
}

// Single 16-bit planes, stored plainly or with zstd, skip the general path's
// buffers. Plain planes are read into the plane once the subblock is known to
// hold them; zstd planes are decoded from the file by DecodeZstdPlane, which
// leaves the plane as it was when decoding fails.
TSciImageReader::TDirectRead TZeissCziReader::ReadImageDirect(int index, int /*component*/, int components,
                                                              TWordDynArray& plane) {
  if (components != 1 || !HasSubblock(ImageInfos(), index, subBlocks_.size())) return dtNotHandled;
  const TImageInfo& info = ImageInfos()[static_cast<size_t>(index)];
  const TSubBlock& block = subBlocks_[static_cast<size_t>(info.SourceEntry)];
  const TCziPixelTypeInfo* type = CziPixelTypeInfo(block.PixelType);
  const bool zstd = block.Compression == czcZstd || block.Compression == czcZstdWithHeader;
  if (!type || type->PixelType != ptUInt16 || type->Components != 1) return dtNotHandled;
  if (block.Compression != czcNone && !(zstd && block.PlaneCount == 1)) return dtNotHandled;
  const int64_t samples = TCziPlaneShape::SaturatedProduct({info.Width, info.Height});
  const int64_t planeBytes = TCziPlaneShape::SaturatedProduct({samples, 2});
  if (samples <= 0 || planeBytes > kCziMaxSubblockBytes) return dtFailed;

  try {
    auto stream = OpenFileRead(info.FileName.empty() ? FileName() : info.FileName);
    int64_t dataOffset = 0, dataSize = 0;
    if (!LocateData(index, *stream, dataOffset, dataSize)) return dtFailed;
    if (block.Compression == czcNone) {
      const int64_t planeOffset = int64_t{info.SourcePlane} * planeBytes;
      if (planeOffset + planeBytes > dataSize) return dtFailed;
      // Read into the plane itself: a second buffer taking turns with it doubles
      // the memory each read passes through. The subblock lies within the file,
      // so only an input error midway can leave the plane partly overwritten.
      plane.resize(static_cast<size_t>(samples));
      if (stream->ReadAt(dataOffset + planeOffset, plane.data(), static_cast<size_t>(planeBytes)) !=
          static_cast<size_t>(planeBytes))
        return dtFailed;
      return dtRead;
    }
    TZstdSubblockHeader header;
    header.Size = 0;
    if (block.Compression == czcZstdWithHeader) {
      uint8_t bytes[3] = {};
      const size_t got = stream->ReadAt(dataOffset, bytes, static_cast<size_t>(std::min<int64_t>(dataSize, 3)));
      header = ReadZstdSubblockHeader(bytes, got);
    }
    DecodeZstdPlane(*stream, dataOffset + static_cast<int64_t>(header.Size),
                    static_cast<size_t>(dataSize) - header.Size, header.HiLo, static_cast<size_t>(samples), plane);
    return dtRead;
  } catch (const std::exception& error) {
    Log(error.what());
    return dtFailed;
  }
}

}  // namespace orbelin
