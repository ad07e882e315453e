#include "readers/framework/ChunkMap.h"

#include <algorithm>

#include "foundation/NaturalCompare.h"

namespace orbelin {

namespace {

// Natural order; names equal in it ("a01" and "a1") fall back to the byte
// order so that only identical names compare equal.
int CompareChunkNames(const std::string& a, const std::string& b) {
  const int natural = NaturalCompare(a, b);
  if (natural != 0) return natural;
  const int plain = a.compare(b);
  return plain < 0 ? -1 : (plain > 0 ? 1 : 0);
}

}  // namespace

void SortChunkMap(TChunkMap& map) {
  std::stable_sort(map.begin(), map.end(), [](const TChunkEntry& a, const TChunkEntry& b) {
    const int order = CompareChunkNames(a.Name, b.Name);
    if (order != 0) return order < 0;
    return a.Position < b.Position;
  });
}

void CountSameNames(TChunkMap& map) {
  for (TChunkEntry& entry : map) {
    entry.SameNameCount = 1;
    entry.Kind = 0;
  }
  size_t runStart = 0;
  for (size_t i = 1; i <= map.size(); ++i) {
    if (i < map.size() && map[i].Name == map[runStart].Name) continue;
    const auto runLength = static_cast<int32_t>(i - runStart);
    for (size_t k = runStart; k < i; ++k) map[k].SameNameCount = runLength;
    runStart = i;
  }
}

int FindChunk(const TChunkMap& map, const std::string& name) {
  // The search uses the order the map was sorted in: an ordinal comparison
  // would disagree with it on runs of digits and miss chunks that are there.
  int low = 0;
  int high = static_cast<int>(map.size()) - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int order = CompareChunkNames(map[static_cast<size_t>(middle)].Name, name);
    if (order < 0) {
      low = middle + 1;
    } else if (order > 0) {
      high = middle - 1;
    } else {
      int found = middle;
      while (found + 1 < static_cast<int>(map.size()) && map[static_cast<size_t>(found) + 1].Name == name) ++found;
      return found;
    }
  }
  return -1;
}

}  // namespace orbelin
