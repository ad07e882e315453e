#include <gtest/gtest.h>

#include "readers/framework/ChunkMap.h"

namespace orbelin {
namespace {

TChunkMap MakeMap(std::initializer_list<std::pair<const char*, int64_t>> entries) {
  TChunkMap map;
  for (const auto& [name, position] : entries) map.push_back(TChunkEntry{position, 10, name, 0, 9});
  return map;
}

TEST(ChunkMap, SortsNaturallyAndEqualNamesByPosition) {
  TChunkMap map = MakeMap({{"ImageDataSeq|10", 1}, {"ImageAttributesLV", 500}, {"ImageDataSeq|2", 2},
                           {"ImageAttributesLV", 100}, {"ImageDataSeq|1", 3}});
  SortChunkMap(map);
  std::vector<std::string> names;
  for (const TChunkEntry& entry : map) names.push_back(entry.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"ImageAttributesLV", "ImageAttributesLV", "ImageDataSeq|1",
                                             "ImageDataSeq|2", "ImageDataSeq|10"}));
  EXPECT_EQ(map[0].Position, 100);
  EXPECT_EQ(map[1].Position, 500);
}

TEST(ChunkMap, CountsRunsAndFindsTheEntryFurthestIntoTheFile) {
  TChunkMap map = MakeMap({{"ImageAttributesLV", 500}, {"CustomData|X", 7}, {"ImageAttributesLV", 100}});
  SortChunkMap(map);
  CountSameNames(map);
  const int found = FindChunk(map, "ImageAttributesLV");
  ASSERT_GE(found, 0);
  EXPECT_EQ(map[static_cast<size_t>(found)].Position, 500);
  EXPECT_EQ(map[static_cast<size_t>(found)].SameNameCount, 2);
  EXPECT_EQ(map[static_cast<size_t>(FindChunk(map, "CustomData|X"))].SameNameCount, 1);
  for (const TChunkEntry& entry : map) EXPECT_EQ(entry.Kind, 0);
  EXPECT_EQ(FindChunk(map, "ImageAttributes"), -1);
  EXPECT_EQ(FindChunk(TChunkMap{}, "x"), -1);
}

// An ordinal binary search over a naturally sorted map would go the wrong way
// at "seq|10" when looking for "seq|2".
TEST(ChunkMap, FindsNumberedNamesInNaturalOrder) {
  TChunkMap map;
  for (int i = 0; i < 40; ++i) map.push_back(TChunkEntry{i, 1, "seq|" + std::to_string(i), 0, 0});
  SortChunkMap(map);
  for (int i = 0; i < 40; ++i) {
    const int found = FindChunk(map, "seq|" + std::to_string(i));
    ASSERT_GE(found, 0) << i;
    EXPECT_EQ(map[static_cast<size_t>(found)].Position, i);
  }
  EXPECT_EQ(FindChunk(map, "seq|02"), -1);
}

}  // namespace
}  // namespace orbelin
