#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "foundation/Exceptions.h"
#include "roi/RoiDot.h"
#include "roi/RoiGroup.h"
#include "roi/RoiPolyline.h"
#include "roi/RoiTestSupport.h"

namespace orbelin {
namespace {

using test::Contains;
using test::MakePolyline;
using test::TInvalidateLog;

TEST(RoiGroup, AddingAndRemovingRequestRepaintOfTheRegion) {
  TRoiGroup group;
  TInvalidateLog log;
  log.Attach(group);
  auto* square = MakePolyline(&group, {{10, 10}, {20, 10}, {20, 20}});
  ASSERT_EQ(group.Count(), 1);
  EXPECT_EQ(square->Group(), &group);
  ASSERT_FALSE(log.rects.empty());
  EXPECT_EQ(log.rects.back(), square->Bounds());

  log.rects.clear();
  const TRect bounds = square->Bounds();
  delete square;  // a destroyed region leaves its group
  EXPECT_EQ(group.Count(), 0);
  ASSERT_EQ(log.rects.size(), 1u);
  EXPECT_EQ(log.rects[0], bounds);
}

TEST(RoiGroup, TwentyEditsInOneBracketGiveOneRequestCoveringOldAndNew) {
  TRoiGroup group;
  auto* moved = MakePolyline(&group, {{10, 10}, {30, 10}, {30, 30}});
  auto* recoloured = MakePolyline(&group, {{100, 100}, {110, 100}, {110, 110}});
  MakePolyline(&group, {{300, 300}, {310, 300}, {310, 310}});  // untouched, stays out of the request
  const TRect movedBefore = moved->Bounds();
  TInvalidateLog log;
  log.Attach(group);

  group.BeginUpdate();
  for (int i = 0; i < 19; ++i) moved->Offset(2, 1);
  recoloured->SetColor(0x00FF00);
  EXPECT_TRUE(log.rects.empty());
  group.EndUpdate();

  ASSERT_EQ(log.rects.size(), 1u);
  const TRect area = log.rects[0];
  EXPECT_TRUE(Contains(area, movedBefore));
  EXPECT_TRUE(Contains(area, moved->Bounds()));
  EXPECT_TRUE(Contains(area, recoloured->Bounds()));
  EXPECT_EQ(area, (TRect{movedBefore.left, movedBefore.top, recoloured->Bounds().right, recoloured->Bounds().bottom}));
  EXPECT_FALSE(group.InvalidatePending());
}

TEST(RoiGroup, RegionBracketReportsOnceWithBothExtents) {
  TRoiGroup group;
  auto* polyline = MakePolyline(&group, {{0, 0}, {10, 0}, {10, 10}});
  const TRect before = polyline->Bounds();
  TInvalidateLog log;
  log.Attach(group);
  polyline->BeginUpdate();
  polyline->SetPoint(2, 50, 60);
  polyline->SetPenWidth(4);
  polyline->EndUpdate();
  ASSERT_EQ(log.rects.size(), 1u);
  EXPECT_TRUE(Contains(log.rects[0], before));
  EXPECT_TRUE(Contains(log.rects[0], polyline->Bounds()));
  EXPECT_EQ(polyline->Bounds(), (TRect{-10, -10, 61, 71}));
}

TEST(RoiGroup, AssignRepaintsWhereTheRegionWasAndWhereItIs) {
  TRoiGroup group;
  auto* target = MakePolyline(&group, {{0, 0}, {10, 0}, {10, 10}});
  const TRect before = target->Bounds();
  TRoiPolyline source;
  source.SetPoints({{200, 200}, {210, 200}, {210, 210}});
  TInvalidateLog log;
  log.Attach(group);
  target->Assign(&source);
  ASSERT_FALSE(log.rects.empty());
  EXPECT_TRUE(Contains(log.rects[0], before));
  EXPECT_TRUE(Contains(log.rects.back(), source.Bounds()));
}

TEST(RoiGroup, ClearDetachesWithoutRepaintAndLaterEditsReportAgain) {
  auto group = std::make_unique<TRoiGroup>();
  TInvalidateLog log;
  log.Attach(*group);
  std::unique_ptr<TRoiPolyline> kept(MakePolyline(group.get(), {{0, 0}, {10, 0}, {10, 10}}));
  auto* second = MakePolyline(group.get(), {{50, 50}, {60, 50}, {60, 60}});
  group->Select(kept.get());
  QImage picture(20, 20, QImage::Format_RGB32);
  group->SetBackground(&picture, false);

  log.rects.clear();
  group->Clear();
  EXPECT_TRUE(log.rects.empty());
  EXPECT_EQ(group->Count(), 0);
  EXPECT_EQ(group->SelectedRegion(), nullptr);
  EXPECT_FALSE(kept->Selected());
  EXPECT_TRUE(group->Background().isNull());
  EXPECT_EQ(kept->Group(), group.get());  // detached regions keep their group

  group->Add(second);
  log.rects.clear();
  group->Delete(0);
  ASSERT_EQ(log.rects.size(), 1u);
  EXPECT_EQ(log.rects[0], second->Bounds());
  EXPECT_EQ(second->Group(), nullptr);
  delete second;

  // The group may go before a region it detached; the region forgets it.
  group.reset();
  EXPECT_EQ(kept->Group(), nullptr);
  kept->SetColor(0x00FF00);
}

TEST(RoiGroup, FreeAllAndDestructionFreeListedRegions) {
  TRoiGroup group;
  new TRoiPolyline(&group);
  new TROIDot(&group);
  auto* twice = MakePolyline(&group, {{1, 1}});
  group.Add(twice);  // listed twice, freed once
  EXPECT_EQ(group.Count(), 4);
  group.FreeAll();
  EXPECT_EQ(group.Count(), 0);
  EXPECT_FALSE(group.Clearing());
  new TROIDot(&group);  // freed by the group's destructor
}

TEST(RoiGroup, RegionMovedToAnotherGroupLeavesTheFirst) {
  TRoiGroup first;
  TRoiGroup second;
  auto* region = MakePolyline(&first, {{0, 0}, {5, 5}});
  second.Add(region);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(region->Group(), &second);
  delete region;
  EXPECT_EQ(second.Count(), 0);
}

TEST(RoiGroup, SelectionOperationsAndEvents) {
  TRoiGroup group;
  auto* a = MakePolyline(&group, {{0, 0}, {10, 0}, {10, 10}});
  auto* b = MakePolyline(&group, {{20, 0}, {30, 0}, {30, 10}});
  std::vector<TRegionOfInterest*> selected;
  group.OnSelect = [&](TRoiGroup&, TRegionOfInterest* region, int32_t point) {
    EXPECT_EQ(point, -1);
    selected.push_back(region);
  };
  b->Select();
  EXPECT_TRUE(b->Selected());
  EXPECT_EQ(group.SelectedRegion(), b);
  group.SelectPoint(0, 2);
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(b->Selected());
  EXPECT_EQ(a->SelectedPoint(), 2);
  EXPECT_EQ(selected, (std::vector<TRegionOfInterest*>{b, a, a}));
  group.ClearSelection();
  EXPECT_FALSE(a->Selected());
  EXPECT_EQ(group.SelectedRegion(), nullptr);
  EXPECT_EQ(selected.back(), nullptr);

  // A failure inside a bracket releases it.
  try {
    group.SelectPoint(5, 0);
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "ROI index (5) is out of range.");
  }
  EXPECT_EQ(group.UpdateCount(), 0);
  EXPECT_THROW(group.SelectPoint(1, 3), Exception);
  EXPECT_EQ(group.UpdateCount(), 0);
}

TEST(RoiGroup, IndexErrorsAndHandlerFailure) {
  TRoiGroup group;
  TROIDot dot;
  EXPECT_THROW(group.Insert(1, &dot), Exception);
  EXPECT_THROW(group.Delete(0), Exception);
  EXPECT_THROW(group.InvalidateItem(0), Exception);
  group.Remove(&dot);  // not listed: nothing
  EXPECT_EQ(dot.Group(), nullptr);

  auto* polyline = MakePolyline(&group, {{0, 0}, {5, 0}, {5, 5}});
  group.OnInvalidate = [](TRoiGroup&, const TRect&) { throw std::runtime_error("repaint failed"); };
  EXPECT_THROW(polyline->Offset(1, 1), std::runtime_error);
  EXPECT_FALSE(group.InvalidatePending());
  EXPECT_EQ(group.UpdateCount(), 0);
  group.OnInvalidate = nullptr;
}

TEST(RoiGroup, DisabledColourFollowsRegionThenGroupThenGrey) {
  TRoiGroup group;
  group.SetDefaultColor(0x123456);
  auto* inGroup = MakePolyline(&group, {{0, 0}});
  TRoiPolyline alone;
  EXPECT_EQ(inGroup->EffectiveDisabledColor(), 0x123456u);
  EXPECT_EQ(alone.EffectiveDisabledColor(), 0x808080u);
  inGroup->SetDisabledColor(0x00FF00);
  EXPECT_EQ(inGroup->EffectiveDisabledColor(), 0x00FF00u);
  EXPECT_EQ(alone.EffectiveSelectionColor(), 0u);

  // The disabled colour is a visible change only while the region is disabled.
  TInvalidateLog log;
  log.Attach(group);
  inGroup->SetDisabledColor(0x0000FF);
  EXPECT_TRUE(log.rects.empty());
  inGroup->SetEnabled(false);
  inGroup->SetDisabledColor(0x00FFFF);
  EXPECT_EQ(log.rects.size(), 2u);
}

TEST(RoiGroup, ZoomConversions) {
  TRoiGroup group;
  group.SetZoom(0.5);
  EXPECT_EQ(group.ImageToView(5, 7), (TPoint{2, 4}));  // 2.5 -> 2, 3.5 -> 4
  EXPECT_EQ(group.ViewToImage(3, 4), (TPoint{6, 8}));
  EXPECT_EQ(group.ImageToView(TRect{1, 3, 5, 7}), (TRect{0, 1, 3, 4}));
  group.SetZoom(1.5);
  EXPECT_EQ(group.ViewToImage(3, 4), (TPoint{2, 3}));  // 2.0 and 2.67
  group.SetZoom(0);  // ignored
  EXPECT_EQ(group.Zoom(), 1.5);
}

}  // namespace
}  // namespace orbelin
