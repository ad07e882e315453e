#include "readers/nd2/Nd2ChunkMap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"

namespace orbelin {

namespace {

constexpr int64_t kBlockSize = 4096;
constexpr size_t kSignatureLength = sizeof(kNd2ChunkMapSignature) - 1;  // 31

uint32_t UInt32At(TStream& stream, int64_t position) {
  uint32_t value = 0;
  if (stream.ReadAt(position, &value, 4) != 4) RaiseError<EReadError>("Stream read error");
  return value;
}

uint64_t UInt64At(TStream& stream, int64_t position) {
  uint64_t value = 0;
  if (stream.ReadAt(position, &value, 8) != 8) RaiseError<EReadError>("Stream read error");
  return value;
}

// The name field of a chunk up to its first "!".
std::string ChunkName(const std::string& field) { return field.substr(0, field.find('!')); }

uint64_t RoundUpToBlock(uint64_t value) {
  const uint64_t rest = value % kBlockSize;
  return rest == 0 ? value : value + (kBlockSize - rest);
}

// Reads the map data of the trailer's map chunk.
void ReadMapFromTrailer(TStream& stream, TChunkMap& map) {
  const int64_t size = stream.Size();
  const uint64_t mapPosition = UInt64At(stream, size - 8);
  if (mapPosition > static_cast<uint64_t>(size)) RaiseErrorFmt<ESciImageReaderError>("Invalid format at position %.8x.", static_cast<unsigned>(size - 8));
  const TNd2ChunkHeader header = ReadNd2ChunkHeader(stream, static_cast<int64_t>(mapPosition));
  const int64_t end = header.DataStart + static_cast<int64_t>(header.DataLength);
  std::string data(static_cast<size_t>(end - header.DataStart), '\0');
  if (data.empty()) return;
  if (stream.ReadAt(header.DataStart, data.data(), data.size()) != data.size()) RaiseError<EReadError>("Stream read error");
  size_t at = 0;
  while (at + 57 <= data.size()) {
    const size_t bang = data.find('!', at);
    if (bang == std::string::npos) break;
    const std::string name = data.substr(at, bang - at);
    // A name with control bytes means the map is damaged from here on.
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) break;
    at = bang + 1;
    if (name == kNd2ChunkMapSignature) break;
    if (at + 16 > data.size()) break;
    if (name == kNd2FileSignature || name == kNd2FileMapSignature) {
      at += 16;
      continue;
    }
    uint64_t position = 0;
    uint64_t length = 0;
    std::memcpy(&position, data.data() + at, 8);
    std::memcpy(&length, data.data() + at + 8, 8);
    TChunkEntry entry;
    entry.Name = name;
    entry.Position = static_cast<int64_t>(std::min<uint64_t>(position, INT64_MAX));
    entry.Length = static_cast<int64_t>(std::min<uint64_t>(length, INT64_MAX));
    map.push_back(std::move(entry));
    at += 16;
  }
}

// Looks for the chunk magic in 4096-byte blocks from blockStart on; returns the
// first hit after `after`, or -1 with blockStart left at the block reached.
int64_t SearchMagic(TStream& stream, int64_t& blockStart, int64_t after) {
  const int64_t size = stream.Size();
  // Blocks wholly before the failing chunk cannot hold the next one.
  while (blockStart + kBlockSize <= after) blockStart += kBlockSize;
  std::array<uint8_t, kBlockSize> block{};
  for (; blockStart + kBlockSize < size; blockStart += kBlockSize) {
    if (stream.ReadAt(blockStart, block.data(), block.size()) != block.size()) break;
    for (size_t offset = 0; offset + 4 <= block.size(); ++offset) {
      uint32_t magic = 0;
      std::memcpy(&magic, block.data() + offset, 4);
      if (magic == kNd2ChunkMagic && blockStart + static_cast<int64_t>(offset) > after)
        return blockStart + static_cast<int64_t>(offset);
    }
  }
  return -1;
}

void WalkChunks(TStream& stream, TChunkMap& map, const TReportSink& report) {
  const int64_t size = stream.Size();
  int64_t position = 0;
  bool aligned = true;
  uint64_t alignedSum = 0;
  while (position < size - 17) {
    uint32_t magic = 0;
    stream.ReadAt(position, &magic, 4);
    if (magic != kNd2ChunkMagic) {
      if (report) report(FormatText("Failed reading chunk map at position $%.6llX.", static_cast<unsigned long long>(position)));
      int64_t block = static_cast<int64_t>(std::min<uint64_t>(alignedSum, static_cast<uint64_t>(size)));
      const int64_t hit = SearchMagic(stream, block, position);
      if (hit < 0) {
        if (report) report("Attempt to search for chunks failed.");
        RaiseErrorFmt<ESciImageReaderError>("Invalid format at position %.8x.", static_cast<unsigned>(block));
      }
      position = hit;
      continue;
    }
    const uint32_t nameLength = UInt32At(stream, position + 4);
    const uint64_t dataLength = UInt64At(stream, position + 8);
    std::string field(std::min<uint64_t>(nameLength, static_cast<uint64_t>(size - position - 16)), '\0');
    stream.ReadAt(position + 16, field.data(), field.size());
    const std::string name = ChunkName(field);
    if (name == kNd2ChunkMapSignature) break;
    if (name == kNd2FileSignature) {
      std::array<char, 8> version{};
      stream.ReadAt(position + 16 + nameLength, version.data(), version.size());
      aligned = version[3] > '2' || (version[3] == '2' && version[5] > '0');
    } else if (name != kNd2FileMapSignature) {
      TChunkEntry entry;
      entry.Name = name;
      entry.Position = position;
      entry.Length = static_cast<int64_t>(std::min<uint64_t>(dataLength, INT64_MAX));
      map.push_back(std::move(entry));
    }
    // A length past the end of the file ends the walk rather than overflowing.
    const uint64_t room = static_cast<uint64_t>(size - position);
    if (dataLength >= room || nameLength >= room) break;
    const uint64_t step = uint64_t{16} + nameLength + dataLength;
    const uint64_t rounded = RoundUpToBlock(step);
    alignedSum += rounded;
    const uint64_t advance = aligned ? rounded : step;
    if (advance >= room) break;
    position += static_cast<int64_t>(advance);
  }
}

// A name matches a pattern when it starts with it and ends there or goes on with "|".
bool MatchesPattern(const std::string& name, const char* pattern) {
  const size_t length = std::strlen(pattern);
  return name.compare(0, length, pattern) == 0 && (name.size() == length || name[length] == '|');
}

}  // namespace

TNd2ChunkHeader ReadNd2ChunkHeader(TStream& stream, int64_t position) {
  const int64_t size = stream.Size();
  if (position < 0 || position > size - 16)
    RaiseErrorFmt<ESciImageReaderError>("Invalid format at position %.8x.", static_cast<unsigned>(position));
  TNd2ChunkHeader header;
  header.NameLength = UInt32At(stream, position + 4);
  header.DataLength = UInt64At(stream, position + 8);
  header.DataStart = position + 16 + header.NameLength;
  if (header.DataStart > size || header.DataLength > static_cast<uint64_t>(size - header.DataStart))
    RaiseErrorFmt<ESciImageReaderError>("Invalid format at position %.8x.", static_cast<unsigned>(position));
  return header;
}

bool HasNd2Trailer(TStream& stream) {
  const int64_t size = stream.Size();
  if (size < 40) return false;
  std::array<char, kSignatureLength> signature{};
  if (stream.ReadAt(size - 40, signature.data(), signature.size()) != signature.size()) return false;
  return std::memcmp(signature.data(), kNd2ChunkMapSignature, kSignatureLength) == 0;
}

TChunkMap ReadNd2ChunkEntries(TStream& stream, const TReportSink& report) {
  TChunkMap map;
  if (HasNd2Trailer(stream)) {
    ReadMapFromTrailer(stream, map);
  } else {
    WalkChunks(stream, map, report);
  }
  return map;
}

std::vector<int> ClassifyNd2Chunks(TChunkMap& map, const TReportSink& report) {
  static constexpr const char* kMetadata[] = {"CustomDataVar",   "ImageAttributes", "ImageCalibration",
                                              "ImageEvents",     "ImageMetadata",   "ImageMetadataSeq",
                                              "ImageTextInfo",   "ReportObjects"};
  static constexpr const char* kCustomData[] = {"CustomData", "CustomDataSeq"};
  static constexpr const char* kMetadataLV[] = {"ImageAttributesLV", "ImageCalibrationLV", "ImageEventsLV",
                                                "ImageMetadataLV",   "ImageMetadataSeqLV", "ImageTextInfoLV",
                                                "ReportObjectsLV"};
  SortChunkMap(map);
  CountSameNames(map);
  std::vector<int> imageData;
  const auto matchesAny = [](const std::string& name, const auto& patterns) {
    return std::any_of(std::begin(patterns), std::end(patterns),
                       [&](const char* pattern) { return MatchesPattern(name, pattern); });
  };
  for (size_t i = 0; i < map.size(); ++i) {
    TChunkEntry& entry = map[i];
    if (matchesAny(entry.Name, kMetadata)) {
      entry.Kind = ckMetadata;
    } else if (MatchesPattern(entry.Name, "ImageDataSeq")) {
      entry.Kind = ckImageData;
      imageData.push_back(static_cast<int>(i));
    } else if (matchesAny(entry.Name, kCustomData)) {
      entry.Kind = ckCustomData;
    } else if (matchesAny(entry.Name, kMetadataLV)) {
      entry.Kind = ckMetadataLV;
    } else if (report) {
      report(FormatText("Unknown chunk: \"%s\".", entry.Name.c_str()));
    }
  }
  return imageData;
}

}  // namespace orbelin
