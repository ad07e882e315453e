#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "roi/RoiDot.h"
#include "roi/RoiGroup.h"
#include "roi/RoiPolyline.h"
#include "roi/RoiTestSupport.h"

namespace orbelin {
namespace {

using test::Contains;
using test::MakePolyline;
using test::TInvalidateLog;
using test::TRecordingView;

TShiftState Keys(Qt::KeyboardModifiers modifiers, bool doubleClick = false) {
  return {modifiers, Qt::LeftButton, doubleClick};
}
const TShiftState kPlain = Keys(Qt::NoModifier);
const TShiftState kCtrl = Keys(Qt::ControlModifier);
const TShiftState kShift = Keys(Qt::ShiftModifier);
const TShiftState kDouble = Keys(Qt::NoModifier, true);
const TShiftState kHover{};

struct RoiMouseEditing : ::testing::Test {
  TRoiGroup group;
  TRecordingView view;
  TRoiPolyline* cell = nullptr;  // the square (100,100)-(200,200)
  std::vector<std::pair<TRegionOfInterest*, int32_t>> dragging, editDone;
  std::vector<TRegionOfInterest*> toggled;

  void SetUp() override {
    cell = MakePolyline(&group, {{100, 100}, {200, 100}, {200, 200}, {100, 200}});
    group.OnDragging = [this](TRegionOfInterest* r, int32_t p) { dragging.emplace_back(r, p); };
    group.OnEditDone = [this](TRegionOfInterest* r, int32_t p) { editDone.emplace_back(r, p); };
    group.OnEnabledToggled = [this](TRoiGroup&, TRegionOfInterest* r) { toggled.push_back(r); };
  }
  bool Down(const TShiftState& shift, int32_t x, int32_t y, Qt::MouseButton button = Qt::LeftButton) {
    return group.MouseDown(&view, button, shift, x, y);
  }
  void Move(int32_t x, int32_t y, const TShiftState& shift = kPlain) { group.MouseMove(&view, shift, x, y); }
  bool Up(int32_t x, int32_t y) { return group.MouseUp(&view, Qt::LeftButton, kPlain, x, y); }
};

TEST_F(RoiMouseEditing, RightPressChangesNothing) {
  cell->Select();
  TInvalidateLog log;
  log.Attach(group);
  EXPECT_FALSE(Down(kPlain, 150, 100, Qt::RightButton));
  EXPECT_FALSE(Down(kPlain, 10, 10, Qt::RightButton));
  EXPECT_TRUE(cell->Selected());
  EXPECT_EQ(group.DragRegion(), nullptr);
  EXPECT_EQ(view.captures, 0);
  EXPECT_TRUE(log.rects.empty());
  EXPECT_FALSE(group.MouseUp(&view, Qt::RightButton, kPlain, 150, 100));
}

TEST_F(RoiMouseEditing, ClicksInsideToggleSelectionAndDoubleClickToggleEnabled) {
  cell->Select();
  EXPECT_FALSE(Down(kPlain, 20, 20));  // empty space: selection cleared, not taken
  EXPECT_FALSE(cell->Selected());

  EXPECT_TRUE(Down(kPlain, 150, 150));
  EXPECT_TRUE(cell->Selected());
  EXPECT_TRUE(Down(kPlain, 150, 150));
  EXPECT_FALSE(cell->Selected());
  EXPECT_TRUE(Down(kPlain, 150, 150));
  EXPECT_TRUE(cell->Selected());

  EXPECT_TRUE(Down(kDouble, 150, 150));
  EXPECT_FALSE(cell->Enabled());
  EXPECT_TRUE(cell->Selected());
  EXPECT_EQ(toggled, std::vector<TRegionOfInterest*>{cell});
  EXPECT_EQ(group.DragRegion(), nullptr);
}

TEST_F(RoiMouseEditing, CtrlClickOnEdgeInsertsUnderThePointerAndDragsIt) {
  group.SetZoom(0.5);
  // View (75, 50) is image (150, 100), on the top edge.
  EXPECT_TRUE(Down(kCtrl, 75, 50));
  ASSERT_EQ(cell->PointCount(), 5);
  EXPECT_EQ(cell->GetPoint(1), (TPoint{150, 100}));
  EXPECT_EQ(group.ImageToView(150, 100), (TPoint{75, 50}));
  EXPECT_EQ(cell->SelectedPoint(), 1);
  EXPECT_EQ(group.DragRegion(), cell);
  EXPECT_EQ(view.captures, 1);
  ASSERT_EQ(dragging.size(), 1u);
  EXPECT_EQ(dragging[0], std::make_pair<TRegionOfInterest*>(cell, 1));
  EXPECT_EQ(editDone, dragging);

  Move(80, 40, kCtrl);
  EXPECT_EQ(cell->GetPoint(1), (TPoint{160, 80}));
  EXPECT_TRUE(Up(80, 40));
  EXPECT_EQ(editDone.size(), 2u);
  EXPECT_EQ(view.releases, 1);
  EXPECT_EQ(group.DragRegion(), nullptr);
  EXPECT_FALSE(Up(80, 40));
}

TEST_F(RoiMouseEditing, VertexDeletionByCtrlClickAndDoubleClick) {
  EXPECT_TRUE(Down(kCtrl, 200, 100));
  EXPECT_EQ(cell->Points(), (TPoints{{100, 100}, {200, 200}, {100, 200}}));
  EXPECT_EQ(editDone.size(), 1u);
  EXPECT_EQ(group.DragRegion(), nullptr);

  // A double click deletes only on a selected region.
  cell->SetSelected(false);
  Down(kDouble, 200, 200);
  EXPECT_EQ(cell->PointCount(), 3);
  Up(200, 200);
  cell->Select();
  EXPECT_TRUE(Down(kDouble, 200, 200));
  EXPECT_EQ(cell->Points(), (TPoints{{100, 100}, {100, 200}}));
  EXPECT_EQ(editDone.back(), std::make_pair<TRegionOfInterest*>(cell, 1));
  EXPECT_EQ(cell->SelectedPoint(), -1);
}

TEST_F(RoiMouseEditing, PlainClickOnEdgeInsertsOnlyWhenAllowedAndSelected) {
  Down(kPlain, 150, 100);
  Up(150, 100);
  EXPECT_EQ(cell->PointCount(), 4);
  group.AllowInsertPoints = true;
  Down(kPlain, 150, 100);  // the first press selected it
  EXPECT_EQ(cell->PointCount(), 5);
  EXPECT_EQ(group.DragHit(), kHitVertex);
}

TEST_F(RoiMouseEditing, DraggingAVertexOrTheWholeOutline) {
  TRoiPolyline* other = MakePolyline(&group, {{400, 400}, {450, 400}, {450, 450}});
  TInvalidateLog log;
  log.Attach(group);
  EXPECT_TRUE(Down(kPlain, 201, 199));  // near vertex 2
  log.rects.clear();
  const TRect before = cell->Bounds();
  Move(211, 204);
  EXPECT_EQ(cell->GetPoint(2), (TPoint{210, 205}));
  ASSERT_EQ(log.rects.size(), 1u);  // one repaint per move, just around the dragged outline
  EXPECT_TRUE(Contains(log.rects[0], before));
  EXPECT_TRUE(Contains(log.rects[0], cell->Bounds()));
  EXPECT_FALSE(Contains(log.rects[0], other->Bounds()));
  Move(211, 204);  // same pixel again: nothing
  EXPECT_EQ(dragging.size(), 1u);
  Up(211, 204);

  // A press on an edge drags the outline by the pointer's steps, measured from the press.
  EXPECT_TRUE(Down(kPlain, 150, 100));
  Move(155, 103);
  Move(160, 110);
  EXPECT_EQ(cell->GetPoint(0), (TPoint{110, 110}));
  EXPECT_EQ(cell->GetPoint(2), (TPoint{220, 215}));
  Up(160, 110);
  EXPECT_EQ(editDone.size(), 2u);

  Down(kPlain, 110, 110);  // a press and release without a move edits nothing
  Up(110, 110);
  EXPECT_EQ(editDone.size(), 2u);
}

TEST_F(RoiMouseEditing, DotsAreDraggedButNeverGainOrLosePoints) {
  auto* dot = new TROIDot(&group);
  dot->SetPoint(0, 300, 300);
  EXPECT_TRUE(Down(kCtrl, 301, 300));
  EXPECT_EQ(group.DragRegion(), nullptr);
  EXPECT_TRUE(editDone.empty());
  EXPECT_TRUE(Down(kPlain, 301, 300));
  Move(311, 320);
  EXPECT_EQ(dot->GetPoint(0), (TPoint{310, 320}));
  Up(311, 320);
}

TEST_F(RoiMouseEditing, ShiftClickTogglesOnlyWithoutTheKeepBit) {
  EXPECT_TRUE(Down(kShift, 150, 150));
  EXPECT_TRUE(cell->Selected());
  EXPECT_TRUE(cell->Enabled());  // the default actions keep the state
  group.OnQueryAction = [](int32_t, int32_t, THitKind, TRoiActions& actions) { actions &= ~kActNoShiftToggle; };
  EXPECT_TRUE(Down(kShift, 150, 150));
  EXPECT_FALSE(cell->Enabled());
  EXPECT_EQ(toggled.size(), 1u);
}

TEST_F(RoiMouseEditing, DisabledRegionsCanOnlyBeSelectedAndEnabled) {
  cell->SetEnabled(false);
  EXPECT_TRUE(Down(kPlain, 200, 100));  // on a vertex: selected, no drag rights
  EXPECT_TRUE(cell->Selected());
  Move(230, 130);
  EXPECT_EQ(cell->GetPoint(1), (TPoint{200, 100}));
  Up(230, 130);
  EXPECT_TRUE(Down(kCtrl, 150, 100));
  EXPECT_TRUE(Down(kCtrl, 100, 100));
  EXPECT_EQ(cell->PointCount(), 4);
  EXPECT_TRUE(Down(kShift, 150, 150));
  EXPECT_TRUE(cell->Enabled());
}

TEST_F(RoiMouseEditing, HoverSetsTheCursorForTheHitKind) {
  cell->Select();
  auto* disabled = MakePolyline(&group, {{300, 300}, {400, 300}, {400, 400}});
  disabled->SetEnabled(false);
  auto* hidden = MakePolyline(&group, {{500, 500}, {600, 500}, {600, 600}});
  hidden->Visible = false;
  const std::pair<TPoint, Qt::CursorShape> cases[] = {
      {{200, 100}, Qt::PointingHandCursor}, {{150, 101}, Qt::CrossCursor}, {{150, 150}, Qt::SizeAllCursor},
      {{20, 20}, Qt::ArrowCursor},         {{390, 320}, Qt::ArrowCursor},  {{600, 500}, Qt::ArrowCursor},
  };
  for (const auto& [at, cursor] : cases) {
    view.cursors.clear();
    Move(at.x, at.y, kHover);
    ASSERT_EQ(view.cursors.size(), 1u);
    EXPECT_EQ(view.cursors[0], cursor) << at.x << "," << at.y;
  }
  Move(600, 500, kHover);  // same pixel: not looked at again
  EXPECT_EQ(view.cursors.size(), 1u);
}

TEST_F(RoiMouseEditing, RulesOverrideTheDefaultActions) {
  tROIActionRecord noDrag;
  noDrag.Region = cell;
  noDrag.RegionState = tROIActionRecord::rsEnabled;
  noDrag.HitKind = kHitVertex;
  noDrag.Actions = kActSelect;
  group.ActionManager().Rules.push_back(noDrag);
  tROIActionRecord classRule;
  classRule.RegionClass = &typeid(TRoiPolyline);
  classRule.HitKind = kHitEdge;
  classRule.Modifiers = Qt::ControlModifier;
  classRule.Actions = kActSelect;  // no insert on edges
  group.ActionManager().Rules.push_back(classRule);

  const tROIActionManager& manager = group.ActionManager();
  EXPECT_EQ(manager.GetActions(Qt::NoModifier, Qt::LeftButton, *cell, kHitVertex, false), kActSelect);
  EXPECT_EQ(manager.GetActions(Qt::NoModifier, Qt::LeftButton, *cell, kHitVertex, true), kActDefault);
  EXPECT_EQ(manager.GetActions(Qt::ControlModifier | Qt::KeypadModifier, Qt::LeftButton, *cell, kHitEdge, false),
            kActSelect);
  TROIDot dot;
  EXPECT_EQ(manager.GetActions(Qt::NoModifier, Qt::LeftButton, dot, kHitVertex, false), kActDefaultFixed);
  cell->SetEnabled(false);
  EXPECT_EQ(manager.GetActions(Qt::NoModifier, Qt::LeftButton, *cell, kHitVertex, false), kActDefault);
  cell->SetEnabled(true);

  Down(kCtrl, 150, 100);
  EXPECT_EQ(cell->PointCount(), 4);
  Down(kPlain, 200, 100);
  Move(230, 130);
  EXPECT_EQ(cell->GetPoint(1), (TPoint{200, 100}));
}

TEST_F(RoiMouseEditing, RegionDeletedDuringADragEndsTheDrag) {
  auto* doomed = MakePolyline(&group, {{300, 300}, {400, 300}, {400, 400}});
  Down(kPlain, 400, 300);
  ASSERT_EQ(group.DragRegion(), doomed);
  delete doomed;
  EXPECT_EQ(group.DragRegion(), nullptr);
  Move(420, 320);
  EXPECT_FALSE(Up(420, 320));
}

}  // namespace
}  // namespace orbelin
