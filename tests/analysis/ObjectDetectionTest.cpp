#include "analysis/ObjectDetection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/CellData.h"
#include "analysis/PlainCellShapes.h"

namespace orbelin {
namespace {

// A whole small image as one cell's box, every pixel inside the cell.
struct Detection {
  int32_t w, h;
  TWordDynArray plane, mask, objects;
  TByteDynArray cellMask;
  TPoints outline;
  TCellData cell{std::make_unique<TPlainCellShapes>(TPoints{})};
  TDetectionWork work;

  Detection(int32_t width, int32_t height, uint16_t background)
      : w(width), h(height), plane(static_cast<size_t>(width) * height, background),
        mask((static_cast<size_t>(width) + 15) / 16 * height, 0),
        cellMask(static_cast<size_t>(width) * height, 1),
        outline{{0, 0}, {width - 1, 0}, {width - 1, height - 1}, {0, height - 1}} {
    cell.ResizeArrays(1);
  }
  void Rect(int32_t x0, int32_t y0, int32_t rw, int32_t rh, uint16_t v) {
    for (int32_t y = y0; y < y0 + rh; ++y)
      for (int32_t x = x0; x < x0 + rw; ++x) plane[static_cast<size_t>(y) * w + x] = v;
  }
  void Run(TDetectionAlgorithm kind, double pixelSize = 0) {
    TCellContext context;
    context.Box = {0, 0, w, h};
    context.CellMask = cellMask.data();
    context.Centre = {w / 2, h / 2};
    context.Outline = &outline;
    context.ImageWidth = w;
    context.ImageHeight = h;
    context.PixelSize = pixelSize;
    DetectObjects(work, context, DetectionParams[kind], plane, mask, objects, cell, 0);
  }
  bool MaskBit(int32_t x, int32_t y) const {
    return (mask[static_cast<size_t>(y) * ((w + 15) / 16) + x / 16] >> (x % 16)) & 1;
  }
};

TEST(ObjectDetectionTest, KeepLargestKeepsTheBiggerParticle) {
  Detection d(48, 30, 0);
  d.Rect(3, 4, 12, 10, 1000);   // 120 pixels
  d.Rect(30, 15, 10, 8, 1000);  // 80 pixels
  d.Run(daCentrosome);
  EXPECT_EQ(d.cell.ObjectCount[0], 1u);
  EXPECT_EQ(d.cell.ObjectSize[0], 120u);
  EXPECT_EQ(d.cell.TotalSignal[0], 120000u);
  EXPECT_EQ(d.cell.Centroid[0], (TPointF{8.5f, 8.5f}));
  EXPECT_EQ(d.cell.SignalCentroid[0], (TPointF{8.5f, 8.5f}));
  EXPECT_TRUE(d.MaskBit(3, 4));
  EXPECT_TRUE(d.MaskBit(14, 13));
  EXPECT_FALSE(d.MaskBit(35, 18));
  EXPECT_FALSE(d.MaskBit(2, 4));
  EXPECT_EQ(d.objects[4 * 48 + 3], 1000);
  EXPECT_EQ(d.objects[18 * 48 + 35], 0);

  // Golgi keeps every particle.
  Detection all(48, 30, 0);
  all.Rect(3, 4, 12, 10, 1000);
  all.Rect(30, 15, 10, 8, 1000);
  all.Run(daGolgi);
  EXPECT_EQ(all.cell.ObjectCount[0], 2u);
  EXPECT_EQ(all.cell.ObjectSize[0], 200u);
}

TEST(ObjectDetectionTest, SizeLimitsComeFromThePixelSize) {
  // Cilium at 0.16 µm per pixel: 3..3907 pixels. The 70 × 60 block is too big.
  Detection d(100, 80, 0);
  d.Rect(2, 2, 70, 60, 900);
  d.Rect(75, 70, 20, 3, 900);
  d.Run(daCilium, 1.6e-7);
  EXPECT_EQ(d.cell.ObjectCount[0], 1u);
  EXPECT_EQ(d.cell.ObjectSize[0], 60u);
  EXPECT_EQ(d.cell.Centroid[0], (TPointF{84.5f, 71.0f}));
  // Uncalibrated, the stored 10000 is a pixel count and the block is the larger one kept.
  d.Run(daCilium, 0);
  EXPECT_EQ(d.cell.ObjectSize[0], 4200u);
}

TEST(ObjectDetectionTest, EmptyCellHasNoObjectsAndZeroMeasures) {
  Detection d(20, 20, 0);
  d.cell.Centroid[0] = {5, 5};  // earlier values are overwritten
  d.cell.MeanBoundaryDistance[0] = 3;
  d.Run(daGolgi);
  EXPECT_EQ(d.cell.ObjectCount[0], 0u);
  EXPECT_EQ(d.cell.ObjectSize[0], 0u);
  EXPECT_EQ(d.cell.TotalSignal[0], 0u);
  EXPECT_EQ(d.cell.Centroid[0], TPointF{});
  EXPECT_EQ(d.cell.SignalCentroid[0], TPointF{});
  EXPECT_EQ(d.cell.MeanBoundaryDistance[0], 0);
  EXPECT_EQ(d.cell.SignalCenterDistance[0], 0);
  for (uint16_t word : d.mask) EXPECT_EQ(word, 0);
}

TEST(ObjectDetectionTest, ThresholdFallsBackToTheMeanAndThenToOne) {
  auto histogram = std::make_unique<std::array<uint32_t, 65536>>();
  histogram->fill(0);
  EXPECT_EQ(DetectionThreshold(*histogram, 18), 1);
  (*histogram)[500] = 40;  // one occupied bin: the pixels there stay objects
  const int32_t t = DetectionThreshold(*histogram, 18);
  EXPECT_GE(t, 1);
  EXPECT_LE(t, 500);
}

TEST(ObjectDetectionTest, DistancesToTheCellCentreAndOutline) {
  // One 4 × 4 centrosome spot; the outline is the image border, the centre (10, 10).
  Detection d(21, 21, 0);
  d.Rect(14, 9, 4, 4, 2000);
  d.Run(daCentrosome);
  ASSERT_EQ(d.cell.ObjectSize[0], 16u);
  double centre = 0, boundary = 0;
  for (int32_t y = 9; y < 13; ++y)
    for (int32_t x = 14; x < 18; ++x) {
      centre += std::hypot(x - 10, y - 10);
      boundary += std::min({x, y, 20 - x, 20 - y});
    }
  EXPECT_DOUBLE_EQ(d.cell.MeanCenterDistance[0], centre / 16);
  EXPECT_DOUBLE_EQ(d.cell.SignalCenterDistance[0], centre / 16);
  EXPECT_DOUBLE_EQ(d.cell.MeanBoundaryDistance[0], boundary / 16);
}

}  // namespace
}  // namespace orbelin
