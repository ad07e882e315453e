#include "readers/framework/ChunkMap.h"

#include <algorithm>

namespace orbelin {

namespace {

// Natural order: runs of digits compare by value, everything else byte by
// byte; names equal in that order (e.g. "a01" and "a1") fall back to the plain
// byte order so that only identical names compare equal.
int CompareChunkNames(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[j]);
    const bool digitA = ca >= '0' && ca <= '9';
    const bool digitB = cb >= '0' && cb <= '9';
    if (digitA && digitB) {
      size_t endA = i;
      size_t endB = j;
      while (endA < a.size() && a[endA] >= '0' && a[endA] <= '9') ++endA;
      while (endB < b.size() && b[endB] >= '0' && b[endB] <= '9') ++endB;
      size_t startA = i;
      size_t startB = j;
      while (startA + 1 < endA && a[startA] == '0') ++startA;
      while (startB + 1 < endB && b[startB] == '0') ++startB;
      const size_t lengthA = endA - startA;
      const size_t lengthB = endB - startB;
      if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
      const int digits = a.compare(startA, lengthA, b, startB, lengthB);
      if (digits != 0) return digits < 0 ? -1 : 1;
      i = endA;
      j = endB;
      continue;
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
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
