#include "readers/tiff/TiffPlane.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffSamples.h"

namespace orbelin {

namespace {

constexpr uint32_t kNoCompression = 1;
constexpr uint32_t kFirstColourPhotometric = 2;

// The sample layout of a directory, or false when this reader has no way to read it.
bool SampleLayoutOf(const tIFDItems& directory, bool bigEndian, TSampleLayout& layout) {
  const uint32_t bits = EntryUnsigned(directory, tagBitsPerSample);
  // Packed sample sizes (1, 4, 12 bits...) would come out as noise.
  if (bits != 8 && bits != 16 && bits != 32) return false;
  layout.bytesPerSample = bits / 8;
  layout.sampleFormat = EntryUnsignedOr(directory, tagSampleFormat, sfUnsigned);
  layout.bigEndian = bigEndian;
  if (layout.sampleFormat == sfFloat && bits != 32) return false;
  return true;
}

// Width × height × bytes per sample of an uncompressed plane, which must fit in the file.
size_t PlaneBytes(const TStream& stream, uint32_t width, uint32_t height, unsigned bytesPerSample) {
  const uint64_t bytes = uint64_t{width} * height * bytesPerSample;
  if (bytes > static_cast<uint64_t>(stream.Size()) || bytes > std::numeric_limits<size_t>::max() / 2)
    RaiseError<EReadError>("Plane larger than the file");
  return static_cast<size_t>(bytes);
}

// Consecutive strips that follow each other in the file are read with one call.
void ReadStrips(const TStream& stream, const tIFDItem& offsets, const tIFDItem& counts, uint8_t* dest, size_t size) {
  size_t position = 0;
  uint64_t runOffset = 0;
  size_t runStart = 0;
  size_t runLength = 0;
  for (uint32_t strip = 0; strip < offsets.count && position < size; ++strip) {
    const uint32_t count = EntryUnsigned(counts, strip);
    if (count == 0) continue;
    const uint64_t offset = EntryUnsigned(offsets, strip);
    const size_t take = std::min<size_t>(count, size - position);
    if (runLength > 0 && offset == runOffset + runLength) {
      runLength += take;
    } else {
      ReadExactAt(stream, runOffset, dest + runStart, runLength);
      runOffset = offset;
      runStart = position;
      runLength = take;
    }
    position += take;
  }
  ReadExactAt(stream, runOffset, dest + runStart, runLength);
}

void ReadTiles(const TStream& stream, const tIFDItems& directory, uint32_t width, uint32_t height,
               unsigned bytesPerSample, uint8_t* dest, size_t size) {
  if (width == 0 || height == 0) return;
  const uint32_t tileWidth = EntryUnsigned(directory, tagTileWidth);
  const uint32_t tileLength = EntryUnsigned(directory, tagTileLength);
  if (tileWidth == 0 || tileLength == 0) RaiseError<EReadError>("Empty tile size");
  const size_t tileBytes = PlaneBytes(stream, tileWidth, tileLength, bytesPerSample);
  const tIFDItem& offsets = *FindEntry(directory, tagTileOffsets);
  const tIFDItem* counts = FindEntry(directory, tagTileByteCounts);
  if (!counts) RaiseErrorFmt<Exception>("Tag %u not found.", static_cast<unsigned>(tagTileByteCounts));
  if (uint64_t{width} * height * bytesPerSample > size) RaiseError<EReadError>("Plane buffer too small");

  const uint64_t across = (width - 1) / tileWidth + 1;
  const uint64_t down = (height - 1) / tileLength + 1;
  if (across * down > offsets.count) RaiseErrorFmt<EArgumentOutOfRange>("Out of range: Item[%d] does not exist.",
                                                                       static_cast<int>(offsets.count));
  std::vector<uint8_t> tile(tileBytes);
  const size_t tileRow = size_t{tileWidth} * bytesPerSample;
  const size_t imageRow = size_t{width} * bytesPerSample;
  for (uint64_t i = 0; i < down; ++i) {
    for (uint64_t j = 0; j < across; ++j) {
      const auto index = static_cast<uint32_t>(j + i * across);
      const size_t take = std::min<size_t>(EntryUnsigned(*counts, index), tileBytes);
      ReadExactAt(stream, EntryUnsigned(offsets, index), tile.data(), take);
      std::fill(tile.begin() + static_cast<ptrdiff_t>(take), tile.end(), uint8_t{0});
      const size_t visibleWidth = std::min<uint64_t>(tileWidth, width - j * tileWidth);
      const size_t visibleLength = std::min<uint64_t>(tileLength, height - i * tileLength);
      uint8_t* target = dest + (i * tileLength * width + j * tileWidth) * bytesPerSample;
      for (size_t row = 0; row < visibleLength; ++row)
        std::memcpy(target + row * imageRow, tile.data() + row * tileRow, visibleWidth * bytesPerSample);
    }
  }
}

// Fills plane with n samples: readBytes copies the file's bytes into a zeroed buffer of
// n × bytes per sample, which is then converted to 16 bits.
template <class ReadBytes>
void DecodePlane(const TSampleLayout& layout, size_t n, TWordDynArray& plane, ReadBytes readBytes) {
  switch (layout.bytesPerSample) {
    case 1: {
      std::vector<uint8_t> bytes(n);
      readBytes(bytes.data(), n);
      WidenByteSamples(bytes.data(), n, plane, layout);
      break;
    }
    case 2:
      plane.resize(n);
      readBytes(reinterpret_cast<uint8_t*>(plane.data()), n * 2);
      FinishWordSamples(plane, layout);
      break;
    default: {
      std::vector<uint32_t> values(n);
      readBytes(reinterpret_cast<uint8_t*>(values.data()), n * 4);
      StretchLongSamples(values.data(), n, plane, layout);
      break;
    }
  }
}

}  // namespace

bool IsPlainGrey(const tIFDItems& directory) {
  return EntryUnsignedOr(directory, tagPhotometricInterpretation, 0) < kFirstColourPhotometric &&
         EntryUnsignedOr(directory, tagCompression, kNoCompression) == kNoCompression;
}

void ReadImageData(const TStream& stream, const tIFDItems& directory, uint32_t width, uint32_t height,
                   unsigned bytesPerSample, uint8_t* dest, size_t size) {
  const tIFDItem* offsets = FindEntry(directory, tagStripOffsets);
  const tIFDItem* counts = FindEntry(directory, tagStripByteCounts);
  if (offsets && counts)
    ReadStrips(stream, *offsets, *counts, dest, size);
  else if (FindEntry(directory, tagTileOffsets))
    ReadTiles(stream, directory, width, height, bytesPerSample, dest, size);
  else
    RaiseErrorFmt<Exception>("Tag %u not found.", static_cast<unsigned>(offsets ? tagStripByteCounts : tagStripOffsets));
}

bool ReadDirectoryPlane(const TStream& stream, const TTiffFile& file, size_t index, TWordDynArray& plane) {
  const tIFDItems& directory = file.directories.at(index).entries;
  const tIFDItems& first = file.directories.front().entries;
  // Every plane must match the size the caller was given, and be grey and uncompressed itself.
  const uint32_t width = EntryUnsigned(directory, tagImageWidth);
  const uint32_t height = EntryUnsigned(directory, tagImageLength);
  if (width != EntryUnsigned(first, tagImageWidth) || height != EntryUnsigned(first, tagImageLength)) return false;
  if (!IsPlainGrey(directory)) return false;
  TSampleLayout layout;
  if (!SampleLayoutOf(directory, file.bigEndian, layout)) return false;
  const size_t n = PlaneBytes(stream, width, height, layout.bytesPerSample) / layout.bytesPerSample;
  if (n == 0) return false;
  DecodePlane(layout, n, plane, [&](uint8_t* dest, size_t size) {
    ReadImageData(stream, directory, width, height, layout.bytesPerSample, dest, size);
  });
  return true;
}

bool ReadStackPlane(const TStream& stream, const TTiffFile& file, size_t index, TWordDynArray& plane) {
  const tIFDItems& first = file.directories.front().entries;
  const tIFDItem* offsets = FindEntry(first, tagStripOffsets);
  const tIFDItem* counts = FindEntry(first, tagStripByteCounts);
  if (!offsets || !counts || offsets->count == 0) return false;
  const uint32_t width = EntryUnsigned(first, tagImageWidth);
  const uint32_t height = EntryUnsigned(first, tagImageLength);
  TSampleLayout layout;
  if (!SampleLayoutOf(first, file.bigEndian, layout)) return false;
  const size_t planeBytes = PlaneBytes(stream, width, height, layout.bytesPerSample);
  const size_t n = planeBytes / layout.bytesPerSample;
  if (n == 0) return false;

  const uint64_t start = EntryUnsigned(*offsets, 0);
  const uint32_t last = offsets->count - 1;
  const uint64_t end = uint64_t{EntryUnsigned(*offsets, last)} + EntryUnsigned(*counts, last);
  if (end <= start) return false;
  const uint64_t span = end - start;
  const uint64_t planeStart = start + index * span;
  DecodePlane(layout, n, plane, [&](uint8_t* dest, size_t size) {
    // What lies beyond the end of the file stays zero.
    const auto fileSize = static_cast<uint64_t>(stream.Size());
    if (planeStart >= fileSize) return;
    const auto take = static_cast<size_t>(std::min<uint64_t>({span, size, fileSize - planeStart}));
    ReadExactAt(stream, planeStart, dest, take);
  });
  return true;
}

}  // namespace orbelin
