#include <gtest/gtest.h>

#include <string>

#include "foundation/NamedStrings.h"

namespace orbelin {
namespace {

TEST(NamedStrings, ReplacesExistingValuesByNameRule) {
  tNamedStrings insensitive;
  insensitive.SetValue("Objective", "20x");
  insensitive.SetValue("OBJECTIVE", "40x");
  EXPECT_EQ(insensitive.Count, 1);
  EXPECT_EQ(insensitive.Pairs[0].Name, "Objective");
  EXPECT_EQ(insensitive.Pairs[0].Value, "40x");

  tNamedStrings sensitive;
  sensitive.CaseSensitive = true;
  sensitive.SetValue("Objective", "20x");
  sensitive.SetValue("OBJECTIVE", "40x");
  EXPECT_EQ(sensitive.Count, 2);
  EXPECT_EQ(sensitive.IndexOfName("OBJECTIVE"), 1);
  EXPECT_EQ(sensitive.IndexOfName("objective"), -1);
}

TEST(NamedStrings, CapacityGrowsInSteps) {
  tNamedStrings list;
  EXPECT_EQ(list.Capacity(), 0);
  const std::pair<int, int> capacityAfter[] = {
      {1, 64}, {64, 64}, {65, 256}, {257, 1024}, {1025, 4096}, {4097, 16384},
  };
  int added = 0;
  for (const auto& [count, capacity] : capacityAfter) {
    while (added < count) list.SetValue("name" + std::to_string(added++), "v");
    EXPECT_EQ(list.Count, count);
    EXPECT_EQ(list.Capacity(), capacity) << "after " << count << " pairs";
  }
  EXPECT_EQ(list.IndexOfName("name4096"), 4096);
  EXPECT_EQ(list.Pairs[100].Value, "v");
}

}  // namespace
}  // namespace orbelin
