#include <gtest/gtest.h>

#include "foundation/ValueHelpers.h"

namespace orbelin {
namespace {

TEST(ValueHelpers, ClampLowerBoundWins) {
  const int cases[][4] = {
      // min, max, value, expected
      {0, 10, -5, 0}, {0, 10, 0, 0}, {0, 10, 10, 10}, {0, 10, 11, 10}, {0, 10, 4, 4},
      {10, 0, 5, 10}, {10, 0, 11, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Clamp(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
  int value = 42;
  ClampVar(0, 9, value);
  EXPECT_EQ(value, 9);
  RaiseTo(value, 12);
  EXPECT_EQ(value, 12);
  RaiseTo(value, 3);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(Min3(3, -1, 2), -1);
  EXPECT_EQ(Max3(3, -1, 2), 3);
}

TEST(ValueHelpers, RectangleOperations) {
  TRect rect{10, 20, 30, 60};
  SetRectWidth(rect, 5);
  SetRectHeight(rect, 7);
  EXPECT_EQ(rect, (TRect{10, 20, 15, 27}));
  OffsetRect(rect, -12, 3);
  EXPECT_EQ(rect, (TRect{-2, 23, 3, 30}));
  const TRect margins{1, 2, 3, 4};
  GrowRect(rect, margins);
  EXPECT_EQ(rect, (TRect{-3, 21, 6, 34}));
  ShrinkRect(rect, margins);
  EXPECT_EQ(rect, (TRect{-2, 23, 3, 30}));
  RaiseNegativeSides(rect);
  EXPECT_EQ(rect, (TRect{0, 23, 3, 30}));
  TRect wide{-5, -5, 500, 25};
  CutRect(wide, TRect{0, 0, 100, 50});
  EXPECT_EQ(wide, (TRect{0, 0, 100, 25}));

  EXPECT_TRUE(IsZeroPoint(TPoint{}));
  EXPECT_FALSE(IsZeroPoint(TPoint{0, 1}));
  EXPECT_EQ(ToPointF(TPoint{-3, 4}), (TPointF{-3.0f, 4.0f}));
}

}  // namespace
}  // namespace orbelin
