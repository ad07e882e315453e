#pragma once
// The regions shown in one image view. The group lists them (bottom to top),
// paints its background picture and then the regions, converts between view
// and image pixels with Zoom, keeps the selection, collects the changes of its
// regions into repaint requests (OnInvalidate, image pixels) and turns the
// view's mouse events into edits. It talks to the view only through IRoiView.
//
// Ownership: the group frees no region it lists, except in FreeAll (and so
// when it is destroyed). A region removes itself from its group when it is
// destroyed.
#include <QImage>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/ThreadSafeObject.h"
#include "foundation/Types.h"
#include "roi/RegionOfInterests.h"
#include "roi/RoiActionManager.h"
#include "roi/RoiTypes.h"
#include "roi/RoiView.h"

class QPainter;

namespace orbelin {

class TRegionOfInterest;

class TRoiGroup : public tSharedObject {
public:
  TRoiGroup();
  ~TRoiGroup() override;
  TRoiGroup(const TRoiGroup&) = delete;
  TRoiGroup& operator=(const TRoiGroup&) = delete;

  // Repaint request; the rectangle is in image pixels.
  std::function<void(TRoiGroup& group, const TRect& rect)> OnInvalidate;
  // May change the actions found for a region, point and hit kind.
  std::function<void(int32_t regionIndex, int32_t pointIndex, THitKind hit, TRoiActions& actions)>
      OnQueryAction;
  std::function<void(TRegionOfInterest* region, int32_t pointIndex)> OnDragging;
  std::function<void(TRoiGroup& group, TRegionOfInterest* region, int32_t pointIndex)> OnSelect;
  std::function<void(TRoiGroup& group, TRegionOfInterest* region)> OnEnabledToggled;
  std::function<void(TRegionOfInterest* region, int32_t pointIndex)> OnEditDone;

  bool AllowInsertPoints = false;
  bool ShowRegions = true;
  // Vector smoothing: 2, 4 and 5 draw anti-aliased.
  int32_t SmoothingMode = 4;

  const TRegionOfInterests& Regions() const { return regions_; }
  TRegionOfInterest* Items(int32_t index) const { return regions_.Items(index); }
  int32_t Count() const { return regions_.Count(); }
  int32_t IndexOf(const TRegionOfInterest* region) const { return regions_.IndexOf(region); }
  bool Clearing() const { return clearing_; }
  int32_t UpdateCount() const { return updateCount_; }
  bool InvalidatePending() const { return invalidatePending_; }
  const TRect& PendingRect() const { return pendingRect_; }
  TRegionOfInterest* SelectedRegion() const { return selectedRegion_; }
  const QImage& Background() const { return background_; }
  tROIActionManager& ActionManager() { return *actionManager_; }
  void SetActionManager(std::unique_ptr<tROIActionManager> manager);

  TColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TColor color);
  TColor DefaultColor() const { return defaultColor_; }
  void SetDefaultColor(TColor color);
  double Zoom() const { return zoom_; }
  void SetZoom(double zoom);

  void Add(TRegionOfInterest* region);
  void Insert(int32_t index, TRegionOfInterest* region);
  void Remove(TRegionOfInterest* region);
  void Delete(int32_t index);
  // Detaches every region without freeing it; raises no repaint request.
  void Clear();
  // Frees every listed region, then clears.
  void FreeAll();

  void ClearSelection();
  void Select(TRegionOfInterest* region);
  void SelectIndex(int32_t index);
  void SelectPoint(int32_t index, int32_t pointIndex);

  void BeginUpdate();
  void EndUpdate();
  void Flush();
  void InvalidateRegion(TRegionOfInterest* region);
  void InvalidateItem(int32_t index);
  void InvalidateAll();

  TPoint ImageToView(int32_t x, int32_t y) const;
  TRect ImageToView(const TRect& rect) const;
  TPoint ViewToImage(int32_t x, int32_t y) const;

  // Copies the picture (view pixels), stretched by Zoom when scaled is set;
  // null or empty releases it.
  void SetBackground(const QImage* bitmap, bool scaled);
  void DrawAll(QPainter& canvas);
  // Repaints only rect (image pixels): its part of the background and the
  // regions whose repaint rectangle meets it.
  void DrawRect(QPainter& canvas, const TRect& rect);

  // Mouse editing; x and y are view pixels. control may be null.
  bool MouseDown(IRoiView* control, Qt::MouseButton button, const TShiftState& shift, int32_t x, int32_t y);
  bool MouseMove(IRoiView* control, const TShiftState& shift, int32_t x, int32_t y);
  bool MouseUp(IRoiView* control, Qt::MouseButton button, const TShiftState& shift, int32_t x, int32_t y);
  // Topmost hit at image position (x, y), selected regions first.
  THitKind HitTestVisible(int32_t x, int32_t y, int32_t& pointIndex, int32_t& regionIndex) const;
  // Topmost hit at image position (x, y) whose actions share a bit with required.
  THitKind FindHit(int32_t x, int32_t y, TRoiActions& actions, int32_t& pointIndex, int32_t& regionIndex,
                   TRoiActions required, const TShiftState& shift, Qt::MouseButton button);
  void QueryActions(Qt::MouseButton button, const TShiftState& shift, TRoiActions& actions, THitKind hit,
                    int32_t pointIndex, int32_t regionIndex);

  // Drag state (image pixels).
  TRegionOfInterest* DragRegion() const { return dragRegion_; }
  int32_t DragPoint() const { return dragPoint_; }
  bool DragMoved() const { return dragMoved_; }
  THitKind DragHit() const { return dragHit_; }
  TRoiActions DragActions() const { return dragActions_; }

private:
  friend class TRegionOfInterest;

  // Opens the group's update bracket; on the way out it closes it, and when
  // an error is passing through it only releases it without reporting.
  class TUpdateScope {
  public:
    explicit TUpdateScope(TRoiGroup& group) : group_(group), errors_(std::uncaught_exceptions()) {
      group_.BeginUpdate();
    }
    ~TUpdateScope() noexcept(false) {
      if (std::uncaught_exceptions() > errors_)
        group_.ReleaseUpdate();
      else
        group_.EndUpdate();
    }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

  private:
    TRoiGroup& group_;
    int errors_;
  };

  void ReleaseUpdate();
  static void SaveBounds(TRegionOfInterest& region);
  void DrawRegions(QPainter& canvas, const TRect* onlyWithin, const TRect& clip);
  void StartDrag(IRoiView* control, int32_t regionIndex, int32_t pointIndex, THitKind hit,
                 TRoiActions actions, int32_t x, int32_t y);
  void EndDragOf(const TRegionOfInterest* region);
  // Regions Clear detached keep pointing here; they are told when the group goes.
  void ForgetDetached(const TRegionOfInterest* region);
  // Called by a region that is being destroyed.
  void RegionDestroyed(TRegionOfInterest* region);

  TRegionOfInterests regions_;
  std::vector<TRegionOfInterest*> detached_;
  TColor selectionColor_ = kRoiBlack;
  TColor defaultColor_ = kRoiSilver;
  QImage background_;
  bool clearing_ = false;
  int32_t updateCount_ = 0;
  bool invalidatePending_ = false;
  TRect pendingRect_;
  double zoom_ = 1.0;
  std::unique_ptr<tROIActionManager> actionManager_;
  TRegionOfInterest* selectedRegion_ = nullptr;

  TRegionOfInterest* dragRegion_ = nullptr;
  int32_t dragPoint_ = -1;
  bool dragMoved_ = false;
  THitKind dragHit_ = kHitNone;
  int32_t downX_ = 0;
  int32_t downY_ = 0;
  // No move seen yet: the first one is never taken for a repeat.
  bool lastValid_ = false;
  int32_t lastX_ = 0;
  int32_t lastY_ = 0;
  int32_t origX_ = 0;
  int32_t origY_ = 0;
  TRoiActions dragActions_ = 0;
};

}  // namespace orbelin
