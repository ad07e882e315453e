#include "readers/czi/ZeissCziReader.h"

#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"
#include "readers/czi/CziDecode.h"
#include "readers/czi/CziMetadata.h"
#include "readers/czi/CziStackBuilder.h"

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

bool TZeissCziReader::ReadImageData(int index, TByteDynArray& data) {
  try {
    if (index < 0 || static_cast<size_t>(index) >= ImageInfos().size()) return false;
    const TImageInfo& info = ImageInfos()[static_cast<size_t>(index)];
    if (info.SourceState != 0 || info.SourceEntry < 0 || static_cast<size_t>(info.SourceEntry) >= subBlocks_.size())
      return false;
    const TSubBlock& block = subBlocks_[static_cast<size_t>(info.SourceEntry)];
    const TCziPixelTypeInfo* type = CziPixelTypeInfo(block.PixelType);
    if (!type) return false;

    auto stream = OpenFileRead(info.FileName.empty() ? FileName() : info.FileName);
    stream->Seek(block.FilePosition);
    if (block.FilePosition < 0 || ReadCziSegmentHeader(*stream).Id != "ZISRAWSUBBLOCK") return false;
    const int64_t dataStart = stream->Position();
    const int32_t metadataSize = ReadInt32(*stream);
    const int32_t attachmentSize = ReadInt32(*stream);
    const int64_t dataSize = ReadInt64(*stream);
    ReadCziDirectoryEntry(*stream);
    if (stream->Position() - dataStart < kCziSubblockFixedPart) stream->Seek(dataStart + kCziSubblockFixedPart);
    if (metadataSize < 0 || dataSize < 0) return false;
    stream->Seek(stream->Position() + metadataSize);
    if (stream->Remaining() < dataSize) return false;
    Lock();
    subBlocks_[static_cast<size_t>(info.SourceEntry)].MetadataSize = metadataSize;
    subBlocks_[static_cast<size_t>(info.SourceEntry)].AttachmentSize = attachmentSize;
    subBlocks_[static_cast<size_t>(info.SourceEntry)].DataSize = dataSize;
    Unlock();

    const int storedSampleBytes = type->PixelType == ptComplex ? 8 : PixelTypeBytes(type->PixelType);
    const int64_t planeBytes = int64_t{info.Width} * info.Height * storedSampleBytes * type->Components;
    const int64_t planeOffset = int64_t{info.SourcePlane} * planeBytes;
    if (planeBytes <= 0 || planeBytes > kCziMaxSubblockBytes) return false;
    if (block.Compression == czcNone) {
      if (planeOffset + planeBytes > dataSize) return false;
      data.resize(static_cast<size_t>(planeBytes));
      stream->Seek(stream->Position() + planeOffset);
      stream->ReadBuffer(data.data(), data.size());
    } else {
      TByteDynArray stored(static_cast<size_t>(dataSize));
      stream->ReadBuffer(stored.data(), stored.size());
      const int64_t expected = planeBytes * block.PlaneCount;
      if (expected > kCziMaxSubblockBytes) return false;
      TCziPlaneShape shape;
      shape.Width = info.Width;
      shape.Height = info.Height;
      shape.Components = type->Components;
      shape.SampleBytes = storedSampleBytes;
      shape.PlaneCount = block.PlaneCount;
      shape.PixelType = block.PixelType;
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

}  // namespace orbelin
