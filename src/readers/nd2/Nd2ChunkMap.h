#pragma once
// The chunk map of an ND2 file: read from the map at the end of the file, or,
// when the trailer is missing, rebuilt by walking the chunk headers.
#include <cstdint>
#include <string>
#include <vector>

#include "readers/framework/ChunkMap.h"
#include "readers/nd2/Nd2TreeNavigator.h"

namespace orbelin {

class TStream;

constexpr uint32_t kNd2ChunkMagic = 0x0ABECEDA;
inline constexpr char kNd2FileSignature[] = "ND2 FILE SIGNATURE CHUNK NAME01";
inline constexpr char kNd2FileMapSignature[] = "ND2 FILEMAP SIGNATURE NAME 0001";
inline constexpr char kNd2ChunkMapSignature[] = "ND2 CHUNK MAP SIGNATURE 0000001";

// Chunk kinds the reader assigns after sorting.
enum : uint8_t {
  ckImageData = 1,
  ckMetadata = 4,
  ckMetadataLV = 5,
  ckCustomData = 7,
};

// The header of one chunk; the data starts at DataStart.
struct TNd2ChunkHeader {
  uint32_t NameLength = 0;
  uint64_t DataLength = 0;
  int64_t DataStart = 0;
};

// Reads the chunk header at position; raises when it does not lie inside the
// file or its data would run past the end of the file.
TNd2ChunkHeader ReadNd2ChunkHeader(TStream& stream, int64_t position);

// Whether the last 40 bytes start with the chunk-map signature.
bool HasNd2Trailer(TStream& stream);

// The unsorted entries from the trailer's map or from a walk over the chunks.
// Warnings go to report; a walk that finds no chunk raises.
TChunkMap ReadNd2ChunkEntries(TStream& stream, const TReportSink& report);

// Sorts, counts same names, assigns the kinds and returns the map indices of
// the image-data chunks in map order; unknown names are reported.
std::vector<int> ClassifyNd2Chunks(TChunkMap& map, const TReportSink& report);

}  // namespace orbelin
