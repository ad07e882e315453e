#include "analysis/DetectionParams.h"

#include <gtest/gtest.h>

namespace orbelin {
namespace {

TEST(DetectionParamsTest, BackgroundRadiusFollowsThePixelSizeWithinEightToHundred) {
  struct Case {
    TDetectionAlgorithm kind;
    double pixelSize;
    int32_t radius;
  };
  const Case cases[] = {
      {daNucleus, 0.1e-6, 100},  // exactly at the upper limit
      {daNucleus, 0.05e-6, 100}, // 200, lowered
      {daNucleus, 0.5e-6, 20},
      {daCentrosome, 0.5e-6, 8},  // 5, raised
      {daNucleus, 0, 62},         // uncalibrated: Round(62.5), half to even
      {daGolgi, 0, 16},           // Round(15.625)
      {daVesicles, -1, 16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BackgroundRadius(DetectionParams[c.kind], c.pixelSize), c.radius)
        << "kind " << int(c.kind) << " at " << c.pixelSize;
}

TEST(DetectionParamsTest, AreaLimitsInPixels) {
  struct Case {
    TDetectionAlgorithm kind;
    double pixelSize;
    int64_t min, max;
  };
  const Case cases[] = {
      {daNucleus, 1.6e-7, 976, 976563},   {daCentrosome, 1.6e-7, 3, 195313},
      {daGolgi, 1.6e-7, 3, 195313},       {daCilium, 1.6e-7, 3, 3907},
      {daVesicles, 1.6e-7, 1, 3907},      {daNucleus, 0, 2500, 2500000},
      {daVesicles, 0, 5, 10000},
  };
  for (const Case& c : cases) {
    const TAreaLimits limits = AreaLimits(DetectionParams[c.kind], c.pixelSize);
    EXPECT_EQ(limits.Min, c.min) << "kind " << int(c.kind) << " at " << c.pixelSize;
    EXPECT_EQ(limits.Max, c.max) << "kind " << int(c.kind) << " at " << c.pixelSize;
  }
  TDetectionParams open;
  open.MinArea = -4;
  open.MaxArea = 0;
  EXPECT_EQ(AreaLimits(open, 1.6e-7).Min, 0);
  EXPECT_EQ(AreaLimits(open, 1.6e-7).Max, -1);
  // A pixel size far too small stays within 32 bits.
  EXPECT_EQ(AreaLimits(DetectionParams[daNucleus], 1e-12).Max, INT32_MAX);
}

}  // namespace
}  // namespace orbelin
