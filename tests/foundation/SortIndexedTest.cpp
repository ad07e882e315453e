#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "foundation/SortIndexed.h"

namespace orbelin {
namespace {

// Sorts values[first..last] through the index callbacks and counts the calls.
std::vector<int> SortThroughIndices(std::vector<int> values, int first, int last) {
  SortIndexed(
      first, last, [&](int i, int j) { return (values.at(i) > values.at(j)) - (values.at(i) < values.at(j)); },
      [&](int i, int j) { std::swap(values.at(i), values.at(j)); });
  return values;
}

TEST(SortIndexed, SortsRangesOfEveryShape) {
  std::mt19937 random(7);
  const std::vector<std::vector<int>> inputs = {
      {}, {5}, {2, 1}, {1, 2}, {3, 1, 2}, {2, 3, 1}, {3, 2, 1}, {1, 1, 1, 1},
      {5, 4, 3, 2, 1, 0}, {0, 1, 2, 3, 4, 5, 6}, {4, 4, 1, 4, 4, 1, 4},
  };
  std::vector<std::vector<int>> all = inputs;
  for (int size : {17, 100, 1000}) {
    std::vector<int> values(static_cast<size_t>(size));
    for (int& v : values) v = static_cast<int>(random() % 50);
    all.push_back(values);
  }
  for (const std::vector<int>& input : all) {
    std::vector<int> expected = input;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortThroughIndices(input, 0, static_cast<int>(input.size()) - 1), expected);
  }
}

TEST(SortIndexed, TouchesOnlyTheGivenRange) {
  EXPECT_EQ(SortThroughIndices({9, 5, 3, 1, 0}, 1, 3), (std::vector<int>{9, 1, 3, 5, 0}));
  EXPECT_EQ(SortThroughIndices({2, 1}, 1, 0), (std::vector<int>{2, 1}));
}

}  // namespace
}  // namespace orbelin
