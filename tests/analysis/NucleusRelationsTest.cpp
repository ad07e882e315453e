#include "analysis/NucleusRelations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/CellData.h"
#include "analysis/PlainCellShapes.h"

namespace orbelin {
namespace {

struct Scene {
  TCellBox box;
  TWordDynArray nucleus, objects;
  Scene(int32_t left, int32_t top, int32_t w, int32_t h)
      : box{left, top, w, h}, nucleus(box.Count(), 0), objects(box.Count(), 0) {}
  void Set(TWordDynArray& image, int32_t x, int32_t y, uint16_t v) {
    image[static_cast<size_t>(y) * box.Width + x] = v;
  }
};

TCellData MeasuredCell(const Scene& scene, int32_t c) {
  TCellData cell(std::make_unique<TPlainCellShapes>(TPoints{}));
  cell.ResizeArrays(c + 1);
  for (uint16_t v : scene.objects)
    if (v != 0) {
      cell.ObjectSize[c] += 1;
      cell.TotalSignal[c] += v;
    }
  return cell;
}

TEST(NucleusRelationsTest, DistancesOverlapAndRimCoverage) {
  Scene scene(100, 200, 15, 15);
  for (int32_t y = 5; y <= 7; ++y)
    for (int32_t x = 5; x <= 7; ++x) scene.Set(scene.nucleus, x, y, 900);
  for (int32_t y = 4; y <= 8; ++y) scene.Set(scene.objects, 8, y, 10);  // right side of the rim
  scene.Set(scene.objects, 6, 6, 100);                                  // on the nucleus
  scene.Set(scene.objects, 12, 6, 30);                                  // 5 pixels right of it

  TNucleusContext nucleus;
  PrepareNucleus(nucleus, scene.nucleus, scene.box, {106, 206});
  EXPECT_EQ(nucleus.RimCount, 16u);
  TCellData cell = MeasuredCell(scene, 1);
  RelateToNucleus(nucleus, scene.nucleus, scene.objects, scene.box, cell, 1);

  EXPECT_EQ(cell.SizeOnNucleus[1], 1u);
  EXPECT_EQ(cell.SignalOnNucleus[1], 100u);
  EXPECT_DOUBLE_EQ(cell.CoverageAngle[1], 5.0 / 16 * 360);
  // Rim pixels (8, 4) and (8, 8) are √2 from the nucleus corners, the other three 1.
  const double nucleusDistances = 2 * std::sqrt(2.0) + 3 + 0 + 5;
  EXPECT_DOUBLE_EQ(cell.MeanNucleusDistance[1], nucleusDistances / 7);
  EXPECT_DOUBLE_EQ(cell.SignalNucleusDistance[1], (10 * (2 * std::sqrt(2.0) + 3) + 30 * 5.0) / 180);
  const double centreDistances = 2 * std::sqrt(8.0) + 2 * std::sqrt(5.0) + 2 + 0 + 6;
  EXPECT_DOUBLE_EQ(cell.MeanNuclearCenterDistance[1], centreDistances / 7);
}

TEST(NucleusRelationsTest, WithoutANucleusDistancesAreTheLargestAndNothingIsCovered) {
  Scene scene(40, 30, 12, 10);
  scene.Set(scene.objects, 3, 4, 50);
  scene.Set(scene.objects, 9, 2, 150);
  TNucleusContext nucleus;
  PrepareNucleus(nucleus, scene.nucleus, scene.box, {0, 0});  // no nucleus: centroid (0, 0)
  EXPECT_FALSE(nucleus.HasNucleus);
  TCellData cell = MeasuredCell(scene, 0);
  RelateToNucleus(nucleus, scene.nucleus, scene.objects, scene.box, cell, 0);
  EXPECT_NEAR(cell.SignalNucleusDistance[0], 3037000499.976, 1e-3);
  EXPECT_DOUBLE_EQ(cell.MeanNucleusDistance[0], std::sqrt(9223372036854775807.0));
  EXPECT_EQ(cell.CoverageAngle[0], 0);
  EXPECT_EQ(cell.SizeOnNucleus[0], 0u);
  // The nuclear centre is the image origin.
  EXPECT_DOUBLE_EQ(cell.MeanNuclearCenterDistance[0], (std::hypot(43, 34) + std::hypot(49, 32)) / 2);

  TCellData empty = MeasuredCell(Scene(40, 30, 12, 10), 0);
  RelateToNucleus(nucleus, scene.nucleus, TWordDynArray(scene.box.Count(), 0), scene.box, empty, 0);
  EXPECT_EQ(empty.MeanNucleusDistance[0], 0);
  EXPECT_EQ(empty.SignalNuclearCenterDistance[0], 0);
}

TEST(NucleusRelationsTest, NearestNucleusPixelEqualsTheFullSearch) {
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    Scene scene(0, 0, 41, 37);
    // A few overlapping random rectangles and scattered pixels as the nucleus.
    std::uniform_int_distribution<int> pos(0, 36), size(1, 12), coin(0, 9);
    for (int k = 0; k < 3; ++k) {
      const int x0 = pos(random), y0 = pos(random), w = size(random), h = size(random);
      for (int y = y0; y < std::min(y0 + h, 37); ++y)
        for (int x = x0; x < std::min(x0 + w, 41); ++x) scene.Set(scene.nucleus, x, y, 1);
    }
    for (auto& v : scene.objects) v = static_cast<uint16_t>(coin(random) < 3 ? 1 + coin(random) : 0);
    TNucleusContext nucleus;
    PrepareNucleus(nucleus, scene.nucleus, scene.box, {20, 18});
    TCellData cell = MeasuredCell(scene, 0);
    RelateToNucleus(nucleus, scene.nucleus, scene.objects, scene.box, cell, 0);

    double sum = 0, weighted = 0;
    for (int32_t y = 0; y < 37; ++y)
      for (int32_t x = 0; x < 41; ++x) {
        const uint16_t v = scene.objects[static_cast<size_t>(y) * 41 + x];
        if (v == 0) continue;
        const double d = std::sqrt(static_cast<double>(
            NucleusSquaredDistanceBruteForce(nucleus, scene.nucleus, 41, x, y)));
        sum += d;
        weighted += v * d;
      }
    ASSERT_EQ(cell.MeanNucleusDistance[0], sum / cell.ObjectSize[0]) << "round " << round;
    ASSERT_EQ(cell.SignalNucleusDistance[0], weighted / static_cast<double>(cell.TotalSignal[0]));
  }
}

TEST(NucleusRelationsTest, SignalOnNucleusWrapsAt32Bits) {
  Scene scene(0, 0, 257, 256);
  std::fill(scene.nucleus.begin(), scene.nucleus.end(), 65535);
  std::fill(scene.objects.begin(), scene.objects.end(), 65535);
  TNucleusContext nucleus;
  PrepareNucleus(nucleus, scene.nucleus, scene.box, {128, 128});
  TCellData cell = MeasuredCell(scene, 0);
  RelateToNucleus(nucleus, scene.nucleus, scene.objects, scene.box, cell, 0);
  EXPECT_EQ(cell.SizeOnNucleus[0], 257u * 256u);
  EXPECT_EQ(cell.SignalOnNucleus[0], static_cast<uint32_t>(uint64_t{65535} * 257 * 256));
  EXPECT_EQ(cell.MeanNucleusDistance[0], 0);
}

}  // namespace
}  // namespace orbelin
