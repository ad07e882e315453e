#include "analysis/Mean3x3.h"

#include <gtest/gtest.h>

#include "foundation/Exceptions.h"

namespace orbelin {
namespace {

TEST(Mean3x3Test, AveragesTheExistingNeighboursTruncating) {
  // 4 × 3; the sums below are of the existing neighbours.
  const TWordDynArray plane = {1, 2, 3, 4,  //
                               5, 6, 7, 8,  //
                               9, 10, 11, 65535};
  TWordDynArray mean;
  Mean3x3(mean, plane, 4, 3);
  const TWordDynArray expected = {
      (1 + 2 + 5 + 6) / 4,      (1 + 2 + 3 + 5 + 6 + 7) / 6,          (2 + 3 + 4 + 6 + 7 + 8) / 6,
      (3 + 4 + 7 + 8) / 4,      (1 + 2 + 5 + 6 + 9 + 10) / 6,         (1 + 2 + 3 + 5 + 6 + 7 + 9 + 10 + 11) / 9,
      (2 + 3 + 4 + 6 + 7 + 8 + 10 + 11 + 65535) / 9, (3 + 4 + 7 + 8 + 11 + 65535) / 6,
      (5 + 6 + 9 + 10) / 4,     (5 + 6 + 7 + 9 + 10 + 11) / 6,        (6 + 7 + 8 + 10 + 11 + 65535) / 6,
      (7 + 8 + 11 + 65535) / 4};
  EXPECT_EQ(mean, expected);
}

TEST(Mean3x3Test, OnePixelWideAndEmptyPlanesAndSizeMismatch) {
  TWordDynArray mean;
  Mean3x3(mean, {3, 6, 9}, 1, 3);
  EXPECT_EQ(mean, (TWordDynArray{4, 6, 7}));
  Mean3x3(mean, {}, 0, 0);
  EXPECT_TRUE(mean.empty());
  EXPECT_THROW(Mean3x3(mean, {1, 2, 3}, 2, 2), EMathError);
}

}  // namespace
}  // namespace orbelin
