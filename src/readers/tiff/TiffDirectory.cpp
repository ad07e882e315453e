#include "readers/tiff/TiffDirectory.h"

#include <cstring>
#include <unordered_set>

#include "foundation/ByteOrder.h"
#include "foundation/Exceptions.h"
#include "foundation/Stream.h"

namespace orbelin {

namespace {

constexpr uint16_t kLittleEndianMark = 0x4949;
constexpr uint16_t kBigEndianMark = 0x4D4D;
constexpr uint16_t kClassicVersion = 42;
constexpr size_t kEntrySize = 12;
// UIC2 holds six LONG values per plane whatever its declared type and count.
constexpr uint32_t kUic2LongsPerPlane = 6;
constexpr uint64_t kSharedValuesAllowance = uint64_t{16} << 20;

uint16_t Get16(const uint8_t* bytes, bool bigEndian) {
  uint16_t value;
  std::memcpy(&value, bytes, sizeof value);
  return bigEndian ? Swap16(value) : value;
}

uint32_t Get32(const uint8_t* bytes, bool bigEndian) {
  uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return bigEndian ? Swap32(value) : value;
}

// The value slot of a big-endian entry: bytes stay as stored, shorts are swapped within
// their halves, everything else is one 32-bit word.
uint32_t SlotValue(const uint8_t* bytes, uint16_t type, uint32_t count, bool bigEndian) {
  uint32_t raw;
  std::memcpy(&raw, bytes, sizeof raw);
  if (!bigEndian) return raw;
  const bool byteType = type == ftByte || type == ftAscii || type == ftSignedByte || type == ftUndefined;
  if (byteType && count < 5) return raw;
  if ((type == ftShort || type == ftSignedShort) && count < 3) {
    uint16_t halves[2];
    std::memcpy(halves, bytes, sizeof halves);
    halves[0] = Swap16(halves[0]);
    halves[1] = Swap16(halves[1]);
    std::memcpy(&raw, halves, sizeof raw);
    return raw;
  }
  return Swap32(raw);
}

void ReadEntries(const TStream& stream, tIFDirectory& directory, bool bigEndian, uint64_t& nextOffset) {
  uint8_t countBytes[2];
  ReadExactAt(stream, directory.offset, countBytes, sizeof countBytes);
  const uint16_t count = Get16(countBytes, bigEndian);
  std::vector<uint8_t> bytes(count * kEntrySize + 4);
  ReadExactAt(stream, directory.offset + 2ull, bytes.data(), bytes.size());
  directory.entries.resize(count);
  for (uint16_t k = 0; k < count; ++k) {
    const uint8_t* raw = bytes.data() + k * kEntrySize;
    tIFDItem& entry = directory.entries[k];
    entry.tag = Get16(raw, bigEndian);
    entry.type = Get16(raw + 2, bigEndian);
    entry.count = Get32(raw + 4, bigEndian);
    entry.value = SlotValue(raw + 8, entry.type, entry.count, bigEndian);
  }
  nextOffset = Get32(bytes.data() + count * kEntrySize, bigEndian);
}

void SwapElements(std::vector<uint8_t>& buffer, uint16_t type) {
  switch (type) {
    case ftShort:
    case ftSignedShort: SwapArray16(buffer.data(), buffer.size() / 2); break;
    case ftLong:
    case ftSignedLong:
    case ftFloat:
    case ftRational:
    case ftSignedRational: SwapArray32(buffer.data(), buffer.size() / 4); break;
    case ftDouble: SwapArray64(buffer.data(), buffer.size() / 8); break;
    default: break;
  }
}

}  // namespace

void ReadExactAt(const TStream& stream, uint64_t offset, void* buffer, uint64_t count) {
  if (count == 0) return;
  const auto size = static_cast<uint64_t>(stream.Size());
  if (offset > size || count > size - offset) RaiseError<EReadError>("Stream read error");
  if (stream.ReadAt(static_cast<int64_t>(offset), buffer, count) != count)
    RaiseError<EReadError>("Stream read error");
}

bool ReadTiffDirectories(TStream& stream, TTiffFile& file) {
  file.directories.clear();
  const auto size = static_cast<uint64_t>(stream.Size());
  if (size < 10) return false;
  uint8_t header[8];
  ReadExactAt(stream, 0, header, sizeof header);
  const uint16_t mark = Get16(header, false);
  if (mark != kLittleEndianMark && mark != kBigEndianMark) return false;
  file.bigEndian = mark == kBigEndianMark;
  if (Get16(header + 2, file.bigEndian) != kClassicVersion) return false;

  // Real files never overlap their directories, so a chain that returns to a directory
  // already read is cut there instead of being followed for ever.
  // Directories that together hold more bytes than the file must overlap: a forged chain.
  std::unordered_set<uint32_t> visited;
  uint64_t directoryBytes = 0;
  uint64_t offset = Get32(header + 4, file.bigEndian);
  while (offset != 0 && offset < size && visited.insert(static_cast<uint32_t>(offset)).second) {
    tIFDirectory& directory = file.directories.emplace_back();
    directory.offset = static_cast<uint32_t>(offset);
    ReadEntries(stream, directory, file.bigEndian, offset);
    directoryBytes += 2 + directory.entries.size() * kEntrySize + 4;
    if (directoryBytes > size) RaiseError<EReadError>("Overlapping image file directories");
  }
  return true;
}

void LoadTiffValues(const TStream& stream, TTiffFile& file) {
  // Entries may share a block of values, but all of them together holding far more than the
  // file is a forgery meant to exhaust memory.
  const auto fileSize = static_cast<uint64_t>(stream.Size());
  uint64_t budget = fileSize + kSharedValuesAllowance;
  for (auto& directory : file.directories) {
    for (auto& entry : directory.entries) {
      const bool uic2 = entry.tag == tagUIC2;
      if (!uic2 && (!entry.OwnsBuffer() || entry.type > kLastKnownFieldType)) continue;
      const uint16_t type = uic2 ? uint16_t{ftLong} : entry.type;
      const uint64_t count = uic2 ? uint64_t{entry.count} * kUic2LongsPerPlane : entry.count;
      const uint64_t size = count * FieldTypeSize(type);
      // Checked before allocating: values must lie inside the file.
      if (size > 4) {
        if (entry.value > fileSize || size > fileSize - entry.value) RaiseError<EReadError>("Stream read error");
        if (size > budget) RaiseError<EReadError>("Entry values exceed the file size");
        budget -= size;
        entry.buffer.resize(size);
        ReadExactAt(stream, entry.value, entry.buffer.data(), size);
        if (file.bigEndian) SwapElements(entry.buffer, type);
      } else {
        entry.buffer.resize(size);
        if (size > 0) std::memcpy(entry.buffer.data(), &entry.value, size);
      }
    }
  }
}

}  // namespace orbelin
