#include "analysis/CellAnalyser.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/CellData.h"
#include "analysis/PlainCellShapes.h"

namespace orbelin {
namespace {

// One frame of synthetic channels: bright disks and spots.
class Scene {
public:
  Scene(int32_t w, int32_t h, std::vector<TDetectionAlgorithm> kinds, double pixelSize = 1.6e-7)
      : w_(w), h_(h) {
    for (size_t i = 0; i < kinds.size(); ++i) {
      TChannelInfo info;
      info.Index = static_cast<int32_t>(i);
      info.Width = w;
      info.Height = h;
      info.PixelSize = pixelSize;
      info.Algorithm = kinds[i];
      channels.Add(info);
    }
    SetFrameCount(frames, channels, 1);
    for (size_t c = 0; c < kinds.size(); ++c) Clear(static_cast<int32_t>(c));
  }

  // A flat background of 100: the top-hat leaves only the objects, whatever
  // the threshold method makes of background noise.
  void Clear(int32_t c) {
    Plane(c).assign(static_cast<size_t>(w_) * h_, 100);
    Data(c).ProcessedPlane.clear();  // as after reloading the frame
  }
  void Disk(int32_t c, int32_t cx, int32_t cy, int32_t r, uint16_t value) {
    for (int32_t y = std::max(cy - r, 0); y <= std::min(cy + r, h_ - 1); ++y)
      for (int32_t x = std::max(cx - r, 0); x <= std::min(cx + r, w_ - 1); ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
          Plane(c)[static_cast<size_t>(y) * w_ + x] = value;
  }
  // A 5 × 5 spot centred on (cx, cy).
  void Spot(int32_t c, int32_t cx, int32_t cy, uint16_t value) {
    for (int32_t y = cy - 2; y <= cy + 2; ++y)
      for (int32_t x = cx - 2; x <= cx + 2; ++x) Plane(c)[static_cast<size_t>(y) * w_ + x] = value;
  }
  TCellData& AddCell(const TPoints& outline) {
    frames[0].AddCell(std::make_unique<TCellData>(std::make_unique<TPlainCellShapes>(outline)));
    return Cell(frames[0].Cells.size() - 1);
  }
  TCellData& Cell(size_t i) { return dynamic_cast<TCellData&>(*frames[0].Cells[i]); }
  TChannelData& Data(int32_t c) { return frames[0].ChannelData[static_cast<size_t>(c)]; }
  TWordDynArray& Plane(int32_t c) { return Data(c).RawPlane; }
  bool MaskBit(int32_t c, int32_t x, int32_t y) {
    const auto& mask = Data(c).MaskPlane;
    return (mask.at(static_cast<size_t>(y) * ((w_ + 15) / 16) + x / 16) >> (x % 16)) & 1;
  }

  TChannelInfos channels;
  TFrames frames;

private:
  int32_t w_, h_;
};

const TPoints kSquareCell = {{30, 50}, {170, 50}, {170, 150}, {30, 150}};

TEST(CellAnalyserTest, FindsNucleusAndCentrosomeAndRelatesThem) {
  Scene scene(200, 200, {daNucleus, daCentrosome});
  scene.Disk(0, 80, 100, 30, 1000);
  scene.Spot(1, 120, 100, 3000);
  TCellData& cell = scene.AddCell(kSquareCell);
  TCellAnalyser analyser(scene.frames, scene.channels);
  analyser.SetShownFrame(0);

  EXPECT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_TRUE(scene.frames[0].Analysed);
  EXPECT_FALSE(cell.NeedsAnalysis);
  EXPECT_EQ(scene.Data(0).BackgroundRadiusUsed, 62);
  EXPECT_EQ(scene.Data(1).BackgroundRadiusUsed, 16);
  EXPECT_EQ(scene.Data(0).SmoothingUsed, 1);

  EXPECT_EQ(cell.ObjectCount[0], 1u);
  EXPECT_NEAR(cell.Centroid[0].x, 80, 0.5);
  EXPECT_NEAR(cell.Centroid[0].y, 100, 0.5);
  // Smoothing grades the disk's edge; the threshold cuts into it.
  EXPECT_NEAR(cell.ObjectSize[0], 2821, 0.1 * 2821);
  EXPECT_EQ(cell.ObjectCount[1], 1u);
  EXPECT_NEAR(cell.SignalCentroid[1].x, 120, 0.25);
  EXPECT_NEAR(cell.SignalCentroid[1].y, 100, 0.25);

  // The spot lies 8 to 12 pixels right of the nucleus edge.
  EXPECT_EQ(cell.SizeOnNucleus[1], 0u);
  EXPECT_NEAR(cell.MeanNucleusDistance[1], 10, 2.5);
  EXPECT_NEAR(cell.MeanNuclearCenterDistance[1], 40, 1);
  EXPECT_EQ(cell.CoverageAngle[1], 0);
  EXPECT_NEAR(cell.SignalCenterDistance[1], 20, 1);
  EXPECT_NEAR(cell.SignalBoundaryDistance[1], 48.5, 1);  // the spot's rows above and below y = 100 are nearer

  ASSERT_TRUE(cell.Shapes().HasMarker());
  EXPECT_EQ(cell.Shapes().MarkerPoint(), (TPoint{120, 100}));
  EXPECT_EQ(cell.MtocDetected, (TPoint{120, 100}));
  EXPECT_EQ(cell.MtocPosition, (TPoint{120, 100}));

  EXPECT_TRUE(scene.MaskBit(0, 80, 100));
  EXPECT_FALSE(scene.MaskBit(0, 120, 100));
  EXPECT_TRUE(scene.MaskBit(1, 120, 100));
  EXPECT_FALSE(scene.MaskBit(1, 10, 10));
}

TEST(CellAnalyserTest, EmptyChannelAndMissingNucleus) {
  Scene scene(200, 200, {daNucleus, daCentrosome, daGolgi});
  std::fill(scene.Plane(0).begin(), scene.Plane(0).end(), 0);
  std::fill(scene.Plane(2).begin(), scene.Plane(2).end(), 0);
  scene.Spot(1, 120, 100, 3000);
  TCellData& cell = scene.AddCell(kSquareCell);
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));

  EXPECT_EQ(cell.ObjectCount[0], 0u);
  for (int32_t c : {0, 2}) {
    EXPECT_EQ(cell.ObjectSize[c], 0u);
    EXPECT_EQ(cell.TotalSignal[c], 0u);
    EXPECT_EQ(cell.Centroid[c], TPointF{});
    EXPECT_EQ(cell.SignalCentroid[c], TPointF{});
    EXPECT_EQ(cell.MeanCenterDistance[c], 0);
    EXPECT_EQ(cell.SignalBoundaryDistance[c], 0);
  }
  EXPECT_EQ(cell.MeanNucleusDistance[2], 0);
  // No nucleus: the largest distance, no coverage, the centre at the image origin.
  EXPECT_NEAR(cell.SignalNucleusDistance[1], 3037000499.976, 1e-3);
  EXPECT_EQ(cell.CoverageAngle[1], 0);
  EXPECT_NEAR(cell.SignalNuclearCenterDistance[1], std::hypot(120, 100), 0.5);
}

TEST(CellAnalyserTest, ObjectOnTheNucleus) {
  Scene scene(200, 200, {daNucleus, daCentrosome});
  scene.Disk(0, 80, 100, 30, 1000);
  scene.Spot(1, 85, 95, 3000);
  TCellData& cell = scene.AddCell(kSquareCell);
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  ASSERT_GT(cell.ObjectSize[1], 0u);
  EXPECT_EQ(cell.SizeOnNucleus[1], cell.ObjectSize[1]);
  EXPECT_EQ(cell.SignalOnNucleus[1], cell.TotalSignal[1]);
  EXPECT_EQ(cell.MeanNucleusDistance[1], 0);
  EXPECT_EQ(cell.SignalNucleusDistance[1], 0);
}

TEST(CellAnalyserTest, SecondChannelOfAKindIsAnalysedButNotTheReference) {
  Scene scene(200, 200, {daNucleus, daCentrosome, daNucleus});
  scene.Disk(0, 80, 100, 30, 1000);
  scene.Disk(2, 120, 100, 30, 1000);
  scene.Spot(1, 120, 100, 3000);
  TCellData& cell = scene.AddCell(kSquareCell);
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(cell.ObjectCount[2], 1u);
  // Channel 2 is measured against channel 0's nucleus; they overlap around x = 100.
  EXPECT_GT(cell.SizeOnNucleus[2], 0u);
  EXPECT_LT(cell.SizeOnNucleus[2], cell.ObjectSize[2] / 2);
  EXPECT_GT(cell.CoverageAngle[2], 0);
  EXPECT_EQ(cell.SizeOnNucleus[0], 0u);  // the reference is not related to itself
  // The spot sits inside channel 2's disk but is measured against channel 0's.
  EXPECT_EQ(cell.SizeOnNucleus[1], 0u);
  EXPECT_NEAR(cell.MeanNucleusDistance[1], 10, 2.5);
}

TEST(CellAnalyserTest, CellsLeavingTheImageAreClipped) {
  Scene scene(120, 100, {daCentrosome});
  scene.Spot(0, 4, 4, 3000);
  TCellData& corner = scene.AddCell({{-50, -40}, {40, -40}, {40, 30}, {-50, 30}});
  TCellData& outside = scene.AddCell({{300, 300}, {400, 300}, {350, 380}});
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(corner.ObjectCount[0], 1u);
  EXPECT_NEAR(corner.SignalCentroid[0].x, 4, 0.25);
  EXPECT_NEAR(corner.SignalCentroid[0].y, 4, 0.25);
  EXPECT_TRUE(scene.MaskBit(0, 4, 4));
  EXPECT_EQ(outside.ObjectCount[0], 0u);
  EXPECT_EQ(outside.ObjectSize[0], 0u);
  EXPECT_FALSE(outside.NeedsAnalysis);
}

TEST(CellAnalyserTest, MarkerFollowsDetectionUntilTheUserMovesIt) {
  Scene scene(200, 200, {daNucleus, daCentrosome});
  scene.Disk(0, 80, 100, 30, 1000);
  scene.Spot(1, 120, 100, 3000);
  TCellData& cell = scene.AddCell(kSquareCell);
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  ASSERT_EQ(cell.Shapes().MarkerPoint(), (TPoint{120, 100}));

  // Untouched, the marker follows the newly detected centre.
  scene.Clear(1);
  scene.Spot(1, 130, 90, 3000);
  cell.NeedsAnalysis = true;
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(cell.Shapes().MarkerPoint(), (TPoint{130, 90}));
  EXPECT_EQ(cell.MtocDetected, (TPoint{130, 90}));
  EXPECT_EQ(cell.MtocPosition, (TPoint{130, 90}));

  // Dragged by the user, it stays where it was left.
  cell.Shapes().SetMarkerPoint({125, 95});
  cell.MtocPosition = {125, 95};
  scene.Clear(1);
  scene.Spot(1, 140, 110, 3000);
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_EQ(cell.Shapes().MarkerPoint(), (TPoint{125, 95}));
  EXPECT_EQ(cell.MtocDetected, (TPoint{140, 110}));
  EXPECT_EQ(cell.MtocPosition, (TPoint{125, 95}));

  // Without a centrosome channel the marker goes.
  scene.channels.SetAlgorithm(1, daNone);
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_FALSE(cell.Shapes().HasMarker());
}

TEST(CellAnalyserTest, MarkerPlacedBeforeTheFirstAnalysisCountsAsMoved) {
  // A cell restored with its manually placed marker keeps it.
  Scene scene(200, 200, {daCentrosome});
  scene.Spot(0, 120, 100, 3000);
  scene.frames[0].AddCell(
      std::make_unique<TCellData>(std::make_unique<TPlainCellShapes>(kSquareCell, TPoint{110, 104})));
  TCellData& cell = scene.Cell(0);
  TCellAnalyser analyser(scene.frames, scene.channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(cell.Shapes().MarkerPoint(), (TPoint{110, 104}));
  EXPECT_EQ(cell.MtocDetected, (TPoint{120, 100}));
  EXPECT_EQ(cell.MtocPosition, (TPoint{110, 104}));
}

TEST(CellAnalyserTest, FramesWithoutCellsAreOnlyMarkedAnalysed) {
  Scene scene(50, 40, {daNucleus});
  TCellAnalyser analyser(scene.frames, scene.channels, [](int32_t) { FAIL() << "no planes needed"; });
  EXPECT_FALSE(analyser.AnalyseFrame(-1, true));
  EXPECT_FALSE(analyser.AnalyseFrame(5, true));
  EXPECT_FALSE(analyser.AnalyseFrame(0, true));
  EXPECT_TRUE(scene.frames[0].Analysed);
  EXPECT_TRUE(scene.Data(0).ProcessedPlane.empty());
}

TEST(CellAnalyserTest, PlanesAreCachedBySmoothingAndRadiusAndMasksAccumulate) {
  Scene scene(200, 200, {daNucleus, daCentrosome});
  scene.Disk(0, 80, 100, 30, 1000);
  scene.Spot(1, 120, 100, 3000);
  scene.Spot(1, 60, 160, 3000);
  scene.AddCell(kSquareCell);
  int loads = 0;
  TCellAnalyser analyser(scene.frames, scene.channels, [&](int32_t frame) {
    EXPECT_EQ(frame, 0);
    ++loads;
  });
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(loads, 1);

  // A second cell adds its bits; the first cell's stay.
  TCellData& second = scene.AddCell({{40, 140}, {80, 140}, {80, 180}, {40, 180}});
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));
  EXPECT_EQ(second.ObjectCount[1], 1u);
  EXPECT_TRUE(scene.MaskBit(1, 120, 100));
  EXPECT_TRUE(scene.MaskBit(1, 60, 160));

  // Removing the first cell and forcing clears the planes first.
  scene.frames[0].DeleteCell(0, true);
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_FALSE(scene.MaskBit(1, 120, 100));
  EXPECT_TRUE(scene.MaskBit(1, 60, 160));

  // The processed plane is kept while smoothing and radius stay: raw changes go unseen...
  std::fill(scene.Plane(1).begin(), scene.Plane(1).end(), 0);
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_EQ(second.ObjectCount[1], 1u);
  // ...until the radius changes with the pixel size (centrosome: 0.3 µm gives 8).
  scene.channels[0].PixelSize = 0.3e-6;
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_EQ(scene.Data(1).BackgroundRadiusUsed, 8);
  EXPECT_EQ(second.ObjectCount[1], 0u);

  // A channel set back to none loses both planes.
  scene.channels.SetAlgorithm(1, daNone);
  ASSERT_TRUE(analyser.AnalyseFrame(0, true));
  EXPECT_TRUE(scene.Data(1).ProcessedPlane.empty());
  EXPECT_TRUE(scene.Data(1).MaskPlane.empty());
  // Its earlier results stay as they were.
  EXPECT_EQ(second.ObjectCount[1], 0u);
}

}  // namespace
}  // namespace orbelin
