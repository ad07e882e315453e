#include "roi/RegionOfInterest.h"

#include <cmath>
#include <typeinfo>

#include "foundation/Exceptions.h"
#include "numeric/Geometry.h"
#include "roi/RoiGroup.h"

namespace orbelin {

namespace {

constexpr const char* kPointIndexMessage = "Point index (%d) is out of range.";

}  // namespace

TRegionOfInterest::TRegionOfInterest(TRoiGroup* group, bool fixedSinglePoint) {
  if (fixedSinglePoint) {
    points_.resize(1);
    fixedPointCount_ = true;
  }
  Reset();
  group_ = group;
  if (group_ != nullptr) group_->Add(this);
}

TRegionOfInterest::~TRegionOfInterest() {
  if (group_ == nullptr) return;
  try {
    group_->RegionDestroyed(this);
  } catch (...) {
    // A failing repaint handler must not stop the destruction; the region is unlisted by then.
  }
}

// ---- change reporting ------------------------------------------------------

void TRegionOfInterest::AppearanceChanged() {
  if (pendingChange_ == 0) pendingChange_ = 1;
  ProcessChange();
}

void TRegionOfInterest::GeometryChanged() {
  pendingChange_ = 2;
  ProcessChange();
}

void TRegionOfInterest::SaveOldBounds() {
  if (oldBoundsSaved_) return;
  oldBounds_ = bounds_;
  oldBoundsSaved_ = true;
}

void TRegionOfInterest::ProcessChange() {
  if (updateCount_ > 0 || pendingChange_ == 0) return;
  SaveOldBounds();
  if (pendingChange_ == 2) UpdateBounds();
  pendingChange_ = 0;
  if (group_ != nullptr) group_->InvalidateRegion(this);
}

void TRegionOfInterest::VertexEdited(int32_t index) {
  PointChanged(index);
  GeometryChanged();
}

void TRegionOfInterest::BeginUpdate() { ++updateCount_; }

void TRegionOfInterest::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  ProcessChange();
}

void TRegionOfInterest::UpdateBounds() {
  bounds_ = PointBounds(points_);
  if (points_.empty()) return;
  const int32_t grow = markerSize_ + penWidth_ + HandleSize;
  if (grow > 0) bounds_ = {bounds_.left - grow, bounds_.top - grow, bounds_.right + grow, bounds_.bottom + grow};
}

void TRegionOfInterest::PointChanged(int32_t) {}

TRect TRegionOfInterest::RepaintRect() const {
  const int32_t grow = HandleSize + penWidth_;
  return {bounds_.left - grow, bounds_.top - grow, bounds_.right + grow, bounds_.bottom + grow};
}

// ---- property setters ------------------------------------------------------

TColor TRegionOfInterest::GetColor() const { return color_; }

void TRegionOfInterest::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  AppearanceChanged();
}

void TRegionOfInterest::SetFilled(bool value) {
  if (filled_ == value) return;
  filled_ = value;
  GeometryChanged();
}

void TRegionOfInterest::SetSelected(bool value) {
  if (selected_ == value) return;
  selected_ = value;
  AppearanceChanged();
}

void TRegionOfInterest::SetFillColor(TColor value) {
  if (fillColor_ == value) return;
  fillColor_ = value;
  AppearanceChanged();
}

void TRegionOfInterest::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  AppearanceChanged();
}

void TRegionOfInterest::SetSelectedPoint(int32_t index) {
  if (index < -1) index = -1;
  if (index >= PointCount()) RaiseErrorFmt<Exception>(kPointIndexMessage, index);
  if (selectedPoint_ == index) return;
  selectedPoint_ = index;
  AppearanceChanged();
}

void TRegionOfInterest::SetPenWidth(int32_t value) {
  if (value <= 0) value = 1;
  if (penWidth_ == value) return;
  penWidth_ = value;
  GeometryChanged();
}

void TRegionOfInterest::SetPenStyle(TPenStyle value) {
  if (penStyle_ == value) return;
  penStyle_ = value;
  AppearanceChanged();
}

void TRegionOfInterest::SetClosed(bool value) {
  if (closed_ == value) return;
  closed_ = value;
  GeometryChanged();
}

void TRegionOfInterest::SetDisabledColor(TColor value) {
  if (disabledColor_ == value) return;
  disabledColor_ = value;
  if (!enabled_) AppearanceChanged();
}

void TRegionOfInterest::SetMarkerSize(int32_t value) {
  if (value <= 0) value = 1;
  if (markerSize_ == value) return;
  markerSize_ = value;
  GeometryChanged();
}

void TRegionOfInterest::SetMarkerShape(uint8_t value) {
  if (markerShape_ == value) return;
  markerShape_ = value;
  AppearanceChanged();
}

// ---- selection and colours -------------------------------------------------

void TRegionOfInterest::Select() {
  if (selected_) return;
  if (group_ != nullptr)
    group_->Select(this);
  else
    SetSelected(true);
}

void TRegionOfInterest::Deselect() {
  SetSelected(false);
  SetSelectedPoint(-1);
}

TColor TRegionOfInterest::EffectiveSelectionColor() const {
  return group_ != nullptr ? group_->SelectionColor() : kRoiBlack;
}

TColor TRegionOfInterest::EffectiveDisabledColor() const {
  if (disabledColor_ != kNoColor) return disabledColor_;
  return group_ != nullptr ? group_->DefaultColor() : kRoiGrey;
}

TPoint TRegionOfInterest::ToView(const TPoint& point) const {
  return group_ != nullptr ? group_->ImageToView(point.x, point.y) : point;
}

// ---- points ------------------------------------------------------------------

void TRegionOfInterest::CheckPointIndex(int32_t index) const {
  if (index < 0 || index >= PointCount()) RaiseErrorFmt<Exception>(kPointIndexMessage, index);
}

void TRegionOfInterest::CheckCountMayChange() const {
  if (fixedPointCount_) RaiseError<Exception>("This ROI has fixed number of points.");
}

TPoint TRegionOfInterest::GetPoint(int32_t index) const {
  CheckPointIndex(index);
  return points_[static_cast<size_t>(index)];
}

int32_t TRegionOfInterest::GetPointX(int32_t index) const { return GetPoint(index).x; }
int32_t TRegionOfInterest::GetPointY(int32_t index) const { return GetPoint(index).y; }

void TRegionOfInterest::AddPoint(int32_t x, int32_t y) { InsertPoint(PointCount(), x, y); }

void TRegionOfInterest::SetPointAt(int32_t index, const TPoint& point) { SetPoint(index, point.x, point.y); }

void TRegionOfInterest::SetLastPoint(const TPoint& point) {
  // With no points this fails with index -1.
  SetPoint(PointCount() - 1, point.x, point.y);
}

void TRegionOfInterest::DuplicateLastPoint() {
  if (points_.empty()) RaiseErrorFmt<Exception>(kPointIndexMessage, 0);
  points_.push_back(points_.back());
  VertexEdited(PointCount() - 1);
}

void TRegionOfInterest::RemoveDuplicatePoints() {
  CheckCountMayChange();
  if (points_.size() > 1 && RemoveConsecutiveDuplicates(points_)) GeometryChanged();
}

void TRegionOfInterest::SetPointCount(int32_t count) {
  CheckCountMayChange();
  points_.resize(static_cast<size_t>(count < 0 ? 0 : count));
}

void TRegionOfInterest::InsertPoint(int32_t index, int32_t x, int32_t y) {
  CheckCountMayChange();
  if (index < 0 || index > PointCount()) RaiseErrorFmt<Exception>(kPointIndexMessage, index);
  const TPoint point{x, y};
  if (SkipDuplicatePoints) {
    // Neighbours as they stand before the insertion.
    if (index > 0 && points_[static_cast<size_t>(index - 1)] == point) return;
    if (index < PointCount() - 1 && points_[static_cast<size_t>(index + 1)] == point) return;
  }
  points_.insert(points_.begin() + index, point);
  VertexEdited(index);
}

void TRegionOfInterest::DeletePoint(int32_t index) {
  CheckCountMayChange();
  CheckPointIndex(index);
  points_.erase(points_.begin() + index);
  GeometryChanged();
}

void TRegionOfInterest::SetPoint(int32_t index, int32_t x, int32_t y) {
  CheckPointIndex(index);
  TPoint& point = points_[static_cast<size_t>(index)];
  if (point.x == x && point.y == y) return;
  point = {x, y};
  VertexEdited(index);
}

void TRegionOfInterest::MovePoint(int32_t index, int32_t dx, int32_t dy) {
  CheckPointIndex(index);
  if (dx == 0 && dy == 0) return;
  TPoint& point = points_[static_cast<size_t>(index)];
  point.x += dx;
  point.y += dy;
  VertexEdited(index);
}

void TRegionOfInterest::Offset(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  Translate(points_, dx, dy);
  GeometryChanged();
}

void TRegionOfInterest::Scale(double cx, double cy, double sx, double sy) {
  if (sx == 1 && sy == 1) return;
  for (TPoint& point : points_) {
    point.x = static_cast<int32_t>(std::nearbyint((point.x - cx) * sx + cx));
    point.y = static_cast<int32_t>(std::nearbyint((point.y - cy) * sy + cy));
  }
  GeometryChanged();
}

// ---- reset and assignment ----------------------------------------------------

void TRegionOfInterest::Reset() {
  enabled_ = true;
  Visible = true;
  closed_ = true;
  Deselect();
  if (!fixedPointCount_) points_.clear();
  for (TPoint& point : points_) point = {0, 0};
  GeometryChanged();
}

void TRegionOfInterest::CopyProperties(const TRegionOfInterest& source) {
  bounds_ = source.bounds_;
  filled_ = source.filled_;
  fillColor_ = source.fillColor_;
  disabledColor_ = source.disabledColor_;
  BrushStyle = source.BrushStyle;
  color_ = source.color_;
  penWidth_ = source.penWidth_;
  penStyle_ = source.penStyle_;
  enabled_ = source.enabled_;
  Visible = source.Visible;
  closed_ = source.closed_;
  markerSize_ = source.markerSize_;
  HandleSize = source.HandleSize;
}

void TRegionOfInterest::Assign(const TRegionOfInterest* source) {
  if (source == this) return;
  if (source == nullptr) {
    Reset();
    return;
  }
  if (typeid(*source) != typeid(*this))
    RaiseErrorFmt<Exception>("Class %s cannot be assigned to class %s.", source->ClassName(), ClassName());
  // The area the region covered before must be repainted too.
  SaveOldBounds();
  if (fixedPointCount_) {
    for (size_t i = 0; i < points_.size() && i < source->points_.size(); ++i) points_[i] = source->points_[i];
  } else {
    points_ = source->points_;
  }
  CopyProperties(*source);
  Deselect();
  GeometryChanged();
}

}  // namespace orbelin
