#include <gtest/gtest.h>

#include "foundation/ArrayOperations.h"
#include "foundation/Types.h"

namespace orbelin {
namespace {

TEST(ArrayOperations, DeleteCountsBackAndCutsToTheEnd) {
  struct Case {
    int start;
    int n;
    int removed;
    TIntegers left;
  };
  const Case cases[] = {
      {-1, 5, 1, {0, 1, 2}},  {1, 2, 2, {0, 3}},      {1, 99, 3, {0}}, {4, 1, 0, {0, 1, 2, 3}},
      {0, 0, 0, {0, 1, 2, 3}}, {2, -1, 0, {0, 1, 2, 3}}, {-4, 1, 1, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    TIntegers items;
    SetCountSequence(items, 4);
    EXPECT_EQ(Delete(items, c.start, c.n), c.removed) << c.start << "," << c.n;
    EXPECT_EQ(items, c.left) << c.start << "," << c.n;
  }
}

TEST(ArrayOperations, InsertCountsBackAndAppendsBeyondTheEnd) {
  struct Case {
    int index;
    int at;
    TIntegers after;
  };
  const Case cases[] = {
      {10, 3, {0, 1, 2, 9}}, {3, 3, {0, 1, 2, 9}}, {0, 0, {9, 0, 1, 2}}, {-1, 2, {0, 1, 9, 2}},
  };
  for (const Case& c : cases) {
    TIntegers items{0, 1, 2};
    EXPECT_EQ(Insert(items, c.index, 9), c.at) << c.index;
    EXPECT_EQ(items, c.after) << c.index;
  }
}

TEST(ArrayOperations, IndexOfFromAndAddUnique) {
  const TIntegers items{7, 8, 7, 9};
  EXPECT_EQ(IndexOf(items, 7), 0);
  EXPECT_EQ(IndexOf(items, 7, 1), 2);
  EXPECT_EQ(IndexOf(items, 7, -1), -1);  // the last element only
  EXPECT_EQ(IndexOf(items, 9, -1), 3);
  EXPECT_EQ(IndexOf(items, 8, -3), 1);
  EXPECT_EQ(IndexOf(items, 7, 4), -1);

  int a = 0, b = 0;
  TObjects<int> objects;
  EXPECT_EQ(AddUnique(objects, &a), 0);
  EXPECT_EQ(AddUnique(objects, &b), 1);
  EXPECT_EQ(AddUnique(objects, &a), 0);
  EXPECT_EQ(objects.size(), 2u);

  TIntegers sequence{5, 5};
  SetCountSequence(sequence, 5);
  EXPECT_EQ(sequence, (TIntegers{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace orbelin
