#include "document/Frames.h"

#include <gtest/gtest.h>

namespace orbelin {
namespace {

// ROIs are only compared by address here.
TRegionOfInterest* Roi(int& tag) { return reinterpret_cast<TRegionOfInterest*>(&tag); }

class TTestCell final : public TCellBase {
public:
  TTestCell(TRegionOfInterest* outline, TRegionOfInterest* dot, int& freed) : outline_(outline), dot_(dot), freed_(freed) {}
  ~TTestCell() override {
    if (owns_) ++freed_;
  }
  TRegionOfInterest* OutlineRoi() const override { return outline_; }
  TRegionOfInterest* DotRoi() const override { return dot_; }
  void ReleaseRois() override { owns_ = false; }

private:
  TRegionOfInterest* outline_;
  TRegionOfInterest* dot_;
  int& freed_;
  bool owns_ = true;
};

struct FrameCells : ::testing::Test {
  int a = 0, b = 0, c = 0, dot = 0, stranger = 0, freed = 0;
  TFrame frame;
  void SetUp() override {
    frame.AddCell(std::make_unique<TTestCell>(Roi(a), nullptr, freed));
    frame.AddCell(std::make_unique<TTestCell>(Roi(b), Roi(dot), freed));
    frame.AddCell(std::make_unique<TTestCell>(Roi(c), nullptr, freed));
    for (auto& cell : frame.Cells) cell->NeedsAnalysis = false;
    frame.Analysed = true;
  }
};

TEST_F(FrameCells, FindAndMarkChanged) {
  EXPECT_EQ(frame.FindCell(Roi(b)), 1);
  EXPECT_EQ(frame.FindCell(Roi(dot)), 1);
  EXPECT_EQ(frame.FindCell(Roi(stranger)), -1);

  frame.MarkChanged(Roi(dot), true);  // a dot leaves both flags alone
  EXPECT_TRUE(frame.Analysed);
  EXPECT_FALSE(frame.Cells[1]->NeedsAnalysis);

  frame.MarkChanged(Roi(b), false);
  EXPECT_FALSE(frame.Analysed);
  EXPECT_TRUE(frame.Cells[1]->NeedsAnalysis);
  EXPECT_FALSE(frame.Cells[0]->NeedsAnalysis);

  frame.Analysed = true;
  frame.MarkChanged(Roi(stranger), false);  // not a cell's ROI, still stale
  EXPECT_FALSE(frame.Analysed);

  frame.MarkAllChanged();
  for (const auto& cell : frame.Cells) EXPECT_TRUE(cell->NeedsAnalysis);
}

TEST_F(FrameCells, DeleteFreesOrHandsOverTheRois) {
  frame.DeleteCell(3, true);  // out of range: ignored
  frame.DeleteCell(-1, true);
  EXPECT_EQ(frame.Cells.size(), 3u);
  EXPECT_TRUE(frame.Analysed);

  frame.DeleteCell(1, true);
  EXPECT_EQ(freed, 1);
  EXPECT_FALSE(frame.Analysed);
  ASSERT_EQ(frame.Cells.size(), 2u);
  EXPECT_EQ(frame.Cells[1]->OutlineRoi(), Roi(c));

  frame.DeleteLastCell(false);
  EXPECT_EQ(freed, 1);
  frame.DeleteLastCell(true);
  frame.DeleteLastCell(true);  // empty: ignored
  EXPECT_EQ(freed, 2);
  EXPECT_TRUE(frame.Cells.empty());
}

TEST_F(FrameCells, AddRoisToListsOutlinesAndDots) {
  std::vector<TRegionOfInterest*> rois;
  frame.AddRoisTo([&](TRegionOfInterest* roi) { rois.push_back(roi); });
  EXPECT_EQ(rois, (std::vector<TRegionOfInterest*>{Roi(a), Roi(b), Roi(dot), Roi(c)}));
}

TEST(SetFrameCount, GrowsWithInitialisedDataAndShrinksFreeingCells) {
  TChannelInfos channels;
  channels.Add({});
  channels.Add({});
  TFrames frames;
  SetFrameCount(frames, channels, 3);
  ASSERT_EQ(frames.size(), 3u);
  const TChannelData& data = frames[2].ChannelData.at(1);
  EXPECT_EQ(frames[2].ChannelData.size(), 2u);
  EXPECT_TRUE(data.RawPlane.empty());
  EXPECT_EQ(data.Histogram.size(), 65536u);
  EXPECT_EQ(data.MinValue, 0);
  EXPECT_EQ(data.MaxValue, 65535);

  int roi = 0, freed = 0;
  frames[0].AddCell(std::make_unique<TTestCell>(Roi(roi), nullptr, freed));
  frames[2].AddCell(std::make_unique<TTestCell>(Roi(roi), nullptr, freed));
  frames[2].AddCell(std::make_unique<TTestCell>(Roi(roi), nullptr, freed));
  EXPECT_EQ(TotalCellCount(frames, 3), 3);
  EXPECT_EQ(TotalCellCount(frames, 2), 1);
  EXPECT_EQ(TotalCellCount(frames, 9), 3);

  SetFrameCount(frames, channels, 1);
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_EQ(freed, 2);
}

TEST(ChannelInfos, FrameCountIsTheSmallestNonZeroPositionCount) {
  TChannelInfos channels;
  EXPECT_EQ(channels.FrameCount(), 0);
  for (int32_t positions : {5, 0, 3, 7}) {
    TChannelInfo info;
    info.PositionCount = positions;
    channels.Add(info);
  }
  EXPECT_EQ(channels.FrameCount(), 3);
}

}  // namespace
}  // namespace orbelin
