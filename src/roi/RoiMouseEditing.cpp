// How a group turns the view's mouse events into edits of its regions.
#include <Qt>

#include "roi/RegionOfInterest.h"
#include "roi/RoiGroup.h"

namespace orbelin {

namespace {

Qt::CursorShape CursorForHit(THitKind kind) {
  switch (kind) {
    case 1: return Qt::PointingHandCursor;
    case 2: case 5: return Qt::SizeFDiagCursor;
    case 3: case 4: return Qt::SizeBDiagCursor;
    case 6: return Qt::CrossCursor;
    case 7: case 10: return Qt::SizeVerCursor;
    case 8: case 9: return Qt::SizeHorCursor;
    case 11: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

Qt::MouseButton HeldButton(const TShiftState& shift) {
  if (shift.buttons & Qt::LeftButton) return Qt::LeftButton;
  if (shift.buttons & Qt::RightButton) return Qt::RightButton;
  if (shift.buttons & Qt::MiddleButton) return Qt::MiddleButton;
  return Qt::LeftButton;
}

}  // namespace

void TRoiGroup::QueryActions(Qt::MouseButton button, const TShiftState& shift, TRoiActions& actions, THitKind hit,
                             int32_t pointIndex, int32_t regionIndex) {
  if (regionIndex < 0 || regionIndex >= Count() || pointIndex >= Items(regionIndex)->PointCount()) {
    actions = 0;
    return;
  }
  const TRegionOfInterest& region = *Items(regionIndex);
  actions = actionManager_->GetActions(EditingModifiers(shift), button, region, hit, shift.doubleClick);
  if (OnQueryAction) OnQueryAction(regionIndex, pointIndex, hit, actions);
  // A disabled region can only be selected (and enabled again).
  if (!Items(regionIndex)->Enabled()) actions &= kActSelect;
}

THitKind TRoiGroup::HitTestVisible(int32_t x, int32_t y, int32_t& pointIndex, int32_t& regionIndex) const {
  pointIndex = -1;
  regionIndex = -1;
  if (!ShowRegions) return kHitNone;
  for (const bool selectedPass : {true, false}) {
    for (int32_t index = Count() - 1; index >= 0; --index) {
      const TRegionOfInterest& region = *Items(index);
      if (!region.Visible || region.Selected() != selectedPass) continue;
      int32_t point = -1;
      const THitKind kind = region.HitTest(x, y, point);
      if (kind != kHitNone) {
        pointIndex = point;
        regionIndex = index;
        return kind;
      }
    }
  }
  return kHitNone;
}

THitKind TRoiGroup::FindHit(int32_t x, int32_t y, TRoiActions& actions, int32_t& pointIndex, int32_t& regionIndex,
                            TRoiActions required, const TShiftState& shift, Qt::MouseButton button) {
  actions = 0;
  pointIndex = -1;
  regionIndex = -1;
  if (!ShowRegions) return kHitNone;
  for (const bool selectedPass : {true, false}) {
    for (int32_t index = Count() - 1; index >= 0; --index) {
      if (index >= Count()) continue;  // a query handler may have removed regions
      const TRegionOfInterest& region = *Items(index);
      if (!region.Visible || region.Selected() != selectedPass) continue;
      int32_t point = -1;
      const THitKind kind = region.HitTest(x, y, point);
      if (kind == kHitNone) continue;
      TRoiActions found = 0;
      QueryActions(button, shift, found, kind, point, index);
      if ((found & required) != 0) {
        actions = found;
        pointIndex = point;
        regionIndex = index;
        return kind;
      }
    }
  }
  return kHitNone;
}

void TRoiGroup::StartDrag(IRoiView* control, int32_t regionIndex, int32_t pointIndex, THitKind hit,
                          TRoiActions actions, int32_t x, int32_t y) {
  SelectPoint(regionIndex, pointIndex);
  if (control != nullptr) control->CaptureMouse();
  TRegionOfInterest* region = Items(regionIndex);
  dragRegion_ = region;
  dragPoint_ = pointIndex;
  dragMoved_ = false;
  downX_ = x;
  downY_ = y;
  // Relative drags measure from the press, whatever moves came before it.
  lastX_ = x;
  lastY_ = y;
  lastValid_ = true;
  if (hit == kHitVertex) {
    const TPoint vertex = region->GetPoint(pointIndex);
    origX_ = vertex.x;
    origY_ = vertex.y;
  }
  dragHit_ = hit;
  dragActions_ = actions;
}

bool TRoiGroup::MouseDown(IRoiView* control, Qt::MouseButton button, const TShiftState& shift, int32_t viewX,
                          int32_t viewY) {
  const TPoint at = ViewToImage(viewX, viewY);
  if (button != Qt::LeftButton) return false;
  TRoiActions actions = 0;
  int32_t pointIndex = -1;
  int32_t regionIndex = -1;
  THitKind kind = FindHit(at.x, at.y, actions, pointIndex, regionIndex, kActSelect, shift, button);
  if (kind == kHitNone || regionIndex < 0) {
    ClearSelection();
    return false;
  }
  TRegionOfInterest* region = Items(regionIndex);
  if (!region->Enabled()) actions &= kActSelect;

  TUpdateScope update(*this);
  const Qt::KeyboardModifiers keys = EditingModifiers(shift);
  auto raiseEdit = [&](int32_t point) {
    if (OnDragging) OnDragging(region, point);
    if (OnEditDone) OnEditDone(region, point);
  };
  if (keys == Qt::NoModifier) {
    if (kind == kHitInside) {
      if (shift.doubleClick) {
        region->SetEnabled(!region->Enabled());
        if (OnEnabledToggled) OnEnabledToggled(*this, region);
      } else if (region->Selected()) {
        ClearSelection();
      } else {
        SelectPoint(regionIndex, pointIndex);
      }
    } else if (IsEdgeHit(kind) && (actions & kActInsertPoint) && region->Selected() && AllowInsertPoints) {
      region->InsertPoint(pointIndex + 1, at.x, at.y);
      ++pointIndex;
      kind = kHitVertex;
      QueryActions(button, shift, actions, kind, pointIndex, regionIndex);
      raiseEdit(pointIndex);
      StartDrag(control, regionIndex, pointIndex, kind, actions, at.x, at.y);
    } else if (IsVertexHit(kind) && shift.doubleClick && (actions & kActDeletePoint) && region->Selected()) {
      region->DeletePoint(pointIndex);
      raiseEdit(pointIndex);
      SelectPoint(regionIndex, -1);
    } else {
      StartDrag(control, regionIndex, pointIndex, kind, actions, at.x, at.y);
    }
  } else if (keys == Qt::ControlModifier) {
    bool edited = false;
    if (IsVertexHit(kind) && (actions & kActDeletePoint)) {
      region->DeletePoint(pointIndex);
      SelectPoint(regionIndex, -1);
      edited = true;
    } else if (IsEdgeHit(kind) && (actions & kActInsertPoint)) {
      region->InsertPoint(pointIndex + 1, at.x, at.y);
      ++pointIndex;
      kind = kHitVertex;
      SelectPoint(regionIndex, pointIndex);
      QueryActions(button, shift, actions, kind, pointIndex, regionIndex);
      StartDrag(control, regionIndex, pointIndex, kind, actions, at.x, at.y);
      edited = true;
    }
    if (edited) {
      raiseEdit(pointIndex);
      MouseMove(control, shift, viewX, viewY);
    }
  } else if (keys == Qt::ShiftModifier) {
    SelectPoint(regionIndex, pointIndex);
    QueryActions(button, shift, actions, kind, pointIndex, regionIndex);
    if (!(actions & kActNoShiftToggle)) {
      region->SetEnabled(!region->Enabled());
      if (OnEnabledToggled) OnEnabledToggled(*this, region);
    }
    MouseMove(control, shift, viewX, viewY);
  }
  return true;
}

bool TRoiGroup::MouseMove(IRoiView* control, const TShiftState& shift, int32_t viewX, int32_t viewY) {
  const TPoint at = ViewToImage(viewX, viewY);
  if (lastValid_ && at.x == lastX_ && at.y == lastY_) return true;
  const int32_t previousX = lastValid_ ? lastX_ : at.x;
  const int32_t previousY = lastValid_ ? lastY_ : at.y;
  lastX_ = at.x;
  lastY_ = at.y;
  lastValid_ = true;

  TUpdateScope update(*this);
  if (dragRegion_ == nullptr) {
    int32_t pointIndex = -1;
    int32_t regionIndex = -1;
    const THitKind kind = HitTestVisible(at.x, at.y, pointIndex, regionIndex);
    TRoiActions actions = 0;
    QueryActions(HeldButton(shift), shift, actions, kind, pointIndex, regionIndex);
    const bool editable = (actions & kActSelect) && regionIndex >= 0 && regionIndex < Count() &&
                          Items(regionIndex)->Enabled();
    if (control != nullptr) control->SetCursor(editable ? CursorForHit(kind) : Qt::ArrowCursor);
  } else if (dragActions_ & kActDrag) {
    if (IsVertexHit(dragHit_))
      dragRegion_->SetPoint(dragPoint_, origX_ + at.x - downX_, origY_ + at.y - downY_);
    else
      dragRegion_->Offset(at.x - previousX, at.y - previousY);
    dragMoved_ = true;
    if (OnDragging) OnDragging(dragRegion_, dragPoint_);
  }
  return true;
}

bool TRoiGroup::MouseUp(IRoiView* control, Qt::MouseButton button, const TShiftState&, int32_t, int32_t) {
  if (button != Qt::LeftButton || dragRegion_ == nullptr) return false;
  if (dragMoved_ && OnEditDone) OnEditDone(dragRegion_, dragPoint_);
  dragRegion_ = nullptr;
  if (control != nullptr) control->ReleaseMouse();
  return true;
}

}  // namespace orbelin
