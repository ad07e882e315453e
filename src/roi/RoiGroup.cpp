#include "roi/RoiGroup.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/Exceptions.h"
#include "roi/RegionOfInterest.h"

namespace orbelin {

namespace {

constexpr const char* kRoiIndexMessage = "ROI index (%d) is out of range.";

bool IsEmptyRect(const TRect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// Rectangle union in which an empty rectangle adds nothing.
TRect UnionRect(const TRect& a, const TRect& b) {
  if (IsEmptyRect(a)) return IsEmptyRect(b) ? TRect{} : b;
  if (IsEmptyRect(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Coordinates far outside any picture are pinned instead of overflowing.
int32_t ToInt(double value) {
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  if (!(value >= kLow)) return std::numeric_limits<int32_t>::min();
  if (value > kHigh) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

}  // namespace

TRoiGroup::TRoiGroup() : actionManager_(std::make_unique<tROIActionManager>()) {}

TRoiGroup::~TRoiGroup() {
  // The owner may be half gone by now; tell it nothing more.
  OnInvalidate = nullptr;
  OnSelect = nullptr;
  FreeAll();
  for (TRegionOfInterest* region : detached_)
    if (region->group_ == this) region->group_ = nullptr;
}

void TRoiGroup::SetActionManager(std::unique_ptr<tROIActionManager> manager) {
  if (manager) actionManager_ = std::move(manager);
}

// ---- list --------------------------------------------------------------------

void TRoiGroup::Add(TRegionOfInterest* region) { Insert(Count(), region); }

void TRoiGroup::Insert(int32_t index, TRegionOfInterest* region) {
  if (region == nullptr) return;
  if (index < 0 || index > Count()) RaiseErrorFmt<Exception>(kRoiIndexMessage, index);
  // A region belongs to one group at a time, so that its destruction can reach every list holding it.
  if (region->group_ != nullptr && region->group_ != this) {
    TRoiGroup* previous = region->group_;
    previous->Remove(region);
    previous->ForgetDetached(region);
  }
  ForgetDetached(region);
  regions_.Insert(index, region);
  region->group_ = this;
  if (region->Visible) InvalidateItem(index);
}

void TRoiGroup::Remove(TRegionOfInterest* region) {
  if (clearing_) return;
  const int32_t index = IndexOf(region);
  if (index >= 0) Delete(index);
}

void TRoiGroup::Delete(int32_t index) {
  if (clearing_) return;
  if (index < 0 || index >= Count()) RaiseErrorFmt<Exception>(kRoiIndexMessage, index);
  TRegionOfInterest* region = Items(index);
  if (region == selectedRegion_) selectedRegion_ = nullptr;
  EndDragOf(region);
  pendingRect_ = region->bounds_;
  regions_.Delete(index);
  if (IndexOf(region) < 0) region->group_ = nullptr;
  InvalidateRegion(nullptr);
}

void TRoiGroup::Clear() {
  TUpdateScope update(*this);
  if (Count() > 0) InvalidateAll();
  for (TRegionOfInterest* region : regions_)
    if (std::find(detached_.begin(), detached_.end(), region) == detached_.end()) detached_.push_back(region);
  regions_.Clear();
  selectedRegion_ = nullptr;
  dragRegion_ = nullptr;
  background_ = QImage();
  pendingRect_ = {};
}

void TRoiGroup::FreeAll() {
  {
    clearing_ = true;
    struct TClearingScope {
      bool& flag;
      ~TClearingScope() { flag = false; }
    } clearingScope{clearing_};
    while (Count() > 0) {
      TRegionOfInterest* region = Items(Count() - 1);
      // Unlist every occurrence first so that nothing is freed twice.
      for (int32_t index = IndexOf(region); index >= 0; index = IndexOf(region)) regions_.Delete(index);
      EndDragOf(region);
      if (region == selectedRegion_) selectedRegion_ = nullptr;
      delete region;
    }
  }
  Clear();
}

void TRoiGroup::ForgetDetached(const TRegionOfInterest* region) {
  detached_.erase(std::remove(detached_.begin(), detached_.end(), region), detached_.end());
}

void TRoiGroup::RegionDestroyed(TRegionOfInterest* region) {
  ForgetDetached(region);
  EndDragOf(region);
  if (region == selectedRegion_) selectedRegion_ = nullptr;
  if (clearing_) return;
  for (int32_t index = IndexOf(region); index >= 0; index = IndexOf(region)) Delete(index);
}

void TRoiGroup::EndDragOf(const TRegionOfInterest* region) {
  if (dragRegion_ == region) dragRegion_ = nullptr;
}

// ---- selection -----------------------------------------------------------------

void TRoiGroup::ClearSelection() {
  TUpdateScope update(*this);
  selectedRegion_ = nullptr;
  for (TRegionOfInterest* region : regions_) region->SetSelected(false);
  if (OnSelect) OnSelect(*this, nullptr, -1);
}

void TRoiGroup::Select(TRegionOfInterest* region) {
  TUpdateScope update(*this);
  selectedRegion_ = nullptr;
  for (TRegionOfInterest* listed : regions_) {
    listed->SetSelected(listed == region);
    if (listed == region) selectedRegion_ = region;
  }
  if (OnSelect) OnSelect(*this, selectedRegion_, -1);
}

void TRoiGroup::SelectIndex(int32_t index) { Select(index >= 0 && index < Count() ? Items(index) : nullptr); }

void TRoiGroup::SelectPoint(int32_t index, int32_t pointIndex) {
  TUpdateScope update(*this);
  SelectIndex(index);
  if (index < 0 || index >= Count()) RaiseErrorFmt<Exception>(kRoiIndexMessage, index);
  Items(index)->SetSelectedPoint(pointIndex);
  if (OnSelect) OnSelect(*this, Items(index), -1);
}

// ---- repaint requests ----------------------------------------------------------

void TRoiGroup::BeginUpdate() { ++updateCount_; }

void TRoiGroup::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Flush();
}

void TRoiGroup::ReleaseUpdate() {
  if (updateCount_ > 0) --updateCount_;
}

void TRoiGroup::SaveBounds(TRegionOfInterest& region) {
  if (region.oldBoundsSaved_) return;
  region.oldBounds_ = region.bounds_;
  region.oldBoundsSaved_ = true;
}

void TRoiGroup::Flush() {
  if (updateCount_ > 0 || !invalidatePending_) return;
  TRect area;
  int32_t next = 0;
  if (IsEmptyRect(pendingRect_)) {
    while (next < Count() && !Items(next)->oldBoundsSaved_) ++next;
    if (next == Count()) return;  // nothing to repaint yet; the request stays due
    area = UnionRect(Items(next)->bounds_, Items(next)->oldBounds_);
    ++next;
  } else {
    area = pendingRect_;
    pendingRect_ = {};
  }
  for (; next < Count(); ++next) {
    const TRegionOfInterest& region = *Items(next);
    if (region.oldBoundsSaved_) area = UnionRect(UnionRect(area, region.oldBounds_), region.bounds_);
  }
  for (TRegionOfInterest* region : regions_) region->oldBoundsSaved_ = false;
  try {
    if (OnInvalidate) OnInvalidate(*this, area);
  } catch (...) {
    invalidatePending_ = false;
    throw;
  }
  invalidatePending_ = false;
}

void TRoiGroup::InvalidateRegion(TRegionOfInterest* region) {
  BeginUpdate();
  if (region != nullptr) SaveBounds(*region);
  invalidatePending_ = true;
  Flush();
  EndUpdate();
}

void TRoiGroup::InvalidateItem(int32_t index) {
  if (index < 0 || index >= Count()) RaiseErrorFmt<Exception>(kRoiIndexMessage, index);
  InvalidateRegion(Items(index));
}

void TRoiGroup::InvalidateAll() {
  BeginUpdate();
  for (TRegionOfInterest* region : regions_) SaveBounds(*region);
  invalidatePending_ = true;
  EndUpdate();
}

// ---- settings and coordinates --------------------------------------------------

void TRoiGroup::SetSelectionColor(TColor color) {
  if (selectionColor_ == color) return;
  selectionColor_ = color;
  InvalidateAll();
}

void TRoiGroup::SetDefaultColor(TColor color) {
  if (defaultColor_ == color) return;
  defaultColor_ = color;
  InvalidateAll();
}

void TRoiGroup::SetZoom(double zoom) {
  // A zoom that is not a positive number would make every conversion meaningless.
  if (!(zoom > 0) || !std::isfinite(zoom) || zoom == zoom_) return;
  zoom_ = zoom;
  InvalidateAll();
}

TPoint TRoiGroup::ImageToView(int32_t x, int32_t y) const {
  return {ToInt(std::nearbyint(x * zoom_)), ToInt(std::nearbyint(y * zoom_))};
}

TRect TRoiGroup::ImageToView(const TRect& rect) const {
  return {ToInt(std::floor(rect.left * zoom_)), ToInt(std::floor(rect.top * zoom_)),
          ToInt(std::ceil(rect.right * zoom_)), ToInt(std::ceil(rect.bottom * zoom_))};
}

TPoint TRoiGroup::ViewToImage(int32_t x, int32_t y) const {
  return {ToInt(std::nearbyint(x / zoom_)), ToInt(std::nearbyint(y / zoom_))};
}

}  // namespace orbelin
