#pragma once
// The abstract region of interest: a shape in image pixels that a group draws
// over the picture and edits with the mouse. Every change is noted and, once
// no update bracket is open, reported to the group as a repaint request that
// covers both the old and the new extent.
#include <cstdint>

#include "foundation/Types.h"
#include "roi/RoiPainting.h"
#include "roi/RoiTypes.h"

class QPainter;

namespace orbelin {

class TRoiGroup;

class TRegionOfInterest {
public:
  virtual ~TRegionOfInterest();
  TRegionOfInterest(const TRegionOfInterest&) = delete;
  TRegionOfInterest& operator=(const TRegionOfInterest&) = delete;

  // Plain fields: writing them reports no change (only construction, Reset
  // and Assign touch them in this program).
  bool Visible = true;
  TBrushStyle BrushStyle = bsSolid;
  int32_t HandleSize = 4;
  bool SkipDuplicatePoints = true;
  uint8_t PenAlpha = 255;
  uint8_t BrushAlpha = 255;

  TRoiGroup* Group() const { return group_; }
  const TPoints& Points() const { return points_; }
  int32_t PointCount() const { return static_cast<int32_t>(points_.size()); }
  bool FixedPointCount() const { return fixedPointCount_; }
  const TRect& Bounds() const { return bounds_; }
  const TRect& OldBounds() const { return oldBounds_; }
  bool OldBoundsSaved() const { return oldBoundsSaved_; }
  int32_t UpdateCount() const { return updateCount_; }
  // 0 none, 1 appearance, 2 geometry.
  uint8_t PendingChange() const { return pendingChange_; }
  const TRect& ClipRect() const { return clipRect_; }
  void SetClipRect(const TRect& rect) { clipRect_ = rect; }

  bool Filled() const { return filled_; }
  void SetFilled(bool value);
  bool Selected() const { return selected_; }
  void SetSelected(bool value);
  TColor FillColor() const { return fillColor_; }
  void SetFillColor(TColor value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  int32_t SelectedPoint() const { return selectedPoint_; }
  void SetSelectedPoint(int32_t index);
  TColor Color() const { return color_; }
  int32_t PenWidth() const { return penWidth_; }
  void SetPenWidth(int32_t value);
  TPenStyle PenStyle() const { return penStyle_; }
  void SetPenStyle(TPenStyle value);
  bool Closed() const { return closed_; }
  void SetClosed(bool value);
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor value);
  int32_t MarkerSize() const { return markerSize_; }
  void SetMarkerSize(int32_t value);
  uint8_t MarkerShape() const { return markerShape_; }
  void SetMarkerShape(uint8_t value);

  virtual TColor GetColor() const;
  virtual void SetColor(TColor value);
  virtual void UpdateBounds();
  // Hook before a vertex change is reported.
  virtual void PointChanged(int32_t index);
  virtual void Draw(QPainter& canvas, bool enabledLook, bool selected) = 0;
  virtual TRoiPen CreatePen(TColor color, int32_t width, TPenStyle style) const;
  virtual TRoiBrush CreateBrush(TColor color, TBrushStyle style) const;
  virtual TRoiPen CreateHandlePen(TColor color, int32_t width, TPenStyle style) const;
  virtual TRoiBrush CreateHandleBrush(TColor color, TBrushStyle style) const;
  virtual void Reset();
  virtual void Assign(const TRegionOfInterest* source);
  virtual void DeletePoint(int32_t index);
  virtual void InsertPoint(int32_t index, int32_t x, int32_t y);
  virtual THitKind HitTest(int32_t x, int32_t y, int32_t& pointIndex) const = 0;
  virtual void SetPoint(int32_t index, int32_t x, int32_t y);
  virtual void MovePoint(int32_t index, int32_t dx, int32_t dy);
  virtual void Scale(double cx, double cy, double sx, double sy);
  virtual void Offset(int32_t dx, int32_t dy);
  virtual const char* ClassName() const = 0;

  // A drawing context on the canvas, clipped to ClipRect in view pixels.
  TRoiGraphics CreateGraphics(QPainter& canvas) const;

  void AddPoint(int32_t x, int32_t y);
  TPoint GetPoint(int32_t index) const;
  int32_t GetPointX(int32_t index) const;
  int32_t GetPointY(int32_t index) const;
  void SetPointAt(int32_t index, const TPoint& point);
  void SetLastPoint(const TPoint& point);
  void DuplicateLastPoint();
  void RemoveDuplicatePoints();
  // Sets the number of points without reporting; new points are (0, 0).
  void SetPointCount(int32_t count);

  void BeginUpdate();
  void EndUpdate();

  void Select();
  void Deselect();
  TColor EffectiveSelectionColor() const;
  TColor EffectiveDisabledColor() const;
  // Bounds grown by what a pen and the handles may paint outside them.
  TRect RepaintRect() const;
  // A marker of the given shape centred on view position (x, y).
  void DrawMarker(QPainter& canvas, int32_t x, int32_t y, const TRoiBrush& brush, const TRoiPen& pen,
                  uint8_t shape, int32_t size) const;

  // Image to view conversion through the group's zoom; unchanged without a group.
  TPoint ToView(const TPoint& point) const;

protected:
  // A region with fixedSinglePoint holds exactly one point for its lifetime.
  TRegionOfInterest(TRoiGroup* group, bool fixedSinglePoint);

  void AppearanceChanged();
  void GeometryChanged();
  // Reports a pending change unless an update bracket is open.
  void ProcessChange();
  void VertexEdited(int32_t index);
  void CheckPointIndex(int32_t index) const;
  void CheckCountMayChange() const;
  void SaveOldBounds();
  // Copies what the base Assign copies, without reporting.
  void CopyProperties(const TRegionOfInterest& source);

  TPoints points_;
  bool selected_ = false;
  int32_t selectedPoint_ = -1;
  uint8_t markerShape_ = 0;

private:
  friend class TRoiGroup;

  TRoiGroup* group_ = nullptr;
  bool filled_ = false;
  TColor fillColor_ = kRoiRed;
  bool enabled_ = true;
  TColor color_ = kRoiRed;
  int32_t penWidth_ = 1;
  TPenStyle penStyle_ = psSolid;
  TRect oldBounds_;
  TRect bounds_;
  bool fixedPointCount_ = false;
  bool closed_ = true;
  int32_t updateCount_ = 0;
  uint8_t pendingChange_ = 0;
  TColor disabledColor_ = kNoColor;
  int32_t markerSize_ = 2;
  bool oldBoundsSaved_ = false;
  TRect clipRect_;
};

}  // namespace orbelin
