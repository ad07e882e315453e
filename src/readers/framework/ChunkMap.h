#pragma once
// The table of contents of a chunked container file: where each named chunk
// starts, sorted by name so that a chunk is found by binary search.
#include <cstdint>
#include <string>
#include <vector>

namespace orbelin {

struct TChunkEntry {
  int64_t Position = 0;       // file offset of the chunk header
  int64_t Length = 0;         // length recorded for the chunk in the file's map
  std::string Name;
  int32_t SameNameCount = 0;  // how many entries share this name
  uint8_t Kind = 0;           // class of chunk, assigned by the format's reader
};

using TChunkMap = std::vector<TChunkEntry>;

// Orders by name in natural order (the data chunk of sequence 2 before that of
// sequence 10); entries of equal names by ascending position.
void SortChunkMap(TChunkMap& map);

// Sets SameNameCount of every entry to the length of its run of equal names
// (the map must be sorted) and clears Kind.
void CountSameNames(TChunkMap& map);

// Index of the entry with this name furthest into the file, or -1. The map must be sorted.
int FindChunk(const TChunkMap& map, const std::string& name);

}  // namespace orbelin
