#include "roi/RoiPolyline.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "roi/RoiDot.h"
#include "roi/RoiGroup.h"

namespace orbelin {

namespace {

int64_t RoundToInt64(double value) { return static_cast<int64_t>(std::nearbyint(value)); }

// One edge of the outline against the position: hit, or else whether the
// horizontal ray to the left of the position crosses it.
struct TEdgeTest {
  int64_t x;
  int64_t y;
  int64_t tolerance;
  int32_t crossings = 0;

  bool Hits(const TPoint& a, const TPoint& b) {
    const int64_t x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
    // Beyond the edge's rows by more than the tolerance it can neither be hit nor crossed.
    if (y < std::min(y1, y2) - tolerance || y > std::max(y1, y2) + tolerance) return false;
    if (y1 == y2) return std::llabs(y - y1) <= tolerance && ((x < x1) != (x < x2));
    const bool inSpan = (y1 < y && y <= y2) || (y2 < y && y <= y1);
    if (std::llabs(y2 - y1) >= std::llabs(x2 - x1)) {
      const int64_t xi = RoundToInt64(static_cast<double>(x2 - x1) / static_cast<double>(y2 - y1) *
                                      static_cast<double>(y - y1)) + x1;
      if (std::llabs(xi - x) <= tolerance) return inSpan;
      if (inSpan && x > xi) ++crossings;
      return false;
    }
    const int64_t yi = RoundToInt64(static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1) *
                                    static_cast<double>(x - x1)) + y1;
    if (std::llabs(yi - y) <= tolerance && ((x < x1) != (x < x2))) return true;
    if (inSpan) {
      const bool risesRight = (x1 < x2) == (y1 < y2);
      if ((risesRight && y <= yi) || (!risesRight && y > yi)) ++crossings;
    }
    return false;
  }
};

}  // namespace

TRoiPolyline::TRoiPolyline(TRoiGroup* group) : TRegionOfInterest(group, false) { markerShape_ = 2; }

void TRoiPolyline::SetPoints(const TPoints& points) {
  points_ = points;
  GeometryChanged();
}

bool TRoiPolyline::IsPolygon() const { return (Filled() || Closed()) && PointCount() >= 3; }

THitKind TRoiPolyline::HitTest(int32_t x, int32_t y, int32_t& pointIndex) const {
  const int32_t count = PointCount();
  const int64_t vertexTolerance = std::max(4, MarkerSize() + (Selected() ? HandleSize : 0));
  for (int32_t i = 0; i < count; ++i) {
    const TPoint& p = points_[static_cast<size_t>(i)];
    if (std::llabs(static_cast<int64_t>(p.x) - x) <= vertexTolerance &&
        std::llabs(static_cast<int64_t>(p.y) - y) <= vertexTolerance) {
      pointIndex = i;
      return kHitVertex;
    }
  }
  const bool polygon = IsPolygon();
  TEdgeTest edges{x, y, std::max(3, MarkerSize())};
  for (int32_t i = 0; i + 1 < count; ++i) {
    if (edges.Hits(points_[static_cast<size_t>(i)], points_[static_cast<size_t>(i + 1)])) {
      pointIndex = i;
      return kHitEdge;
    }
  }
  if (polygon && edges.Hits(points_.back(), points_.front())) {
    pointIndex = count - 1;
    return kHitEdge;
  }
  pointIndex = edges.crossings;
  return polygon && edges.crossings % 2 == 1 ? kHitInside : kHitNone;
}

void TRoiPolyline::Draw(QPainter& canvas, bool, bool selected) {
  // The colours follow the region's own Enabled, not the look asked for.
  if (points_.empty()) return;
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points_.size()));
  for (const TPoint& point : points_) {
    const TPoint view = ToView(point);
    polygon << QPointF(view.x, view.y);
  }
  const TColor look = Enabled() ? Color() : EffectiveDisabledColor();
  const TRoiPen pen = CreatePen(look, PenWidth(), PenStyle());
  const TRoiBrush brush =
      Filled() ? CreateBrush(Enabled() ? FillColor() : EffectiveDisabledColor(), BrushStyle) : std::nullopt;
  {
    TRoiGraphics graphics = CreateGraphics(canvas);
    QPainterPath path;
    if (polygon.size() == 1) {
      path.moveTo(polygon[0]);
      path.lineTo(polygon[0] + QPointF(1, 0));
      graphics.Outline(path, pen);
    } else if (Filled() || Closed()) {
      path.addPolygon(polygon);
      path.closeSubpath();
      graphics.FillAndOutline(path, Filled() ? brush : std::nullopt, pen);
    } else {
      path.addPolygon(polygon);
      graphics.Outline(path, pen);
    }
  }
  if (!selected) return;
  const TColor handleColor = Enabled() ? EffectiveSelectionColor() : EffectiveDisabledColor();
  const TRoiBrush handleBrush = CreateHandleBrush(handleColor, bsSolid);
  const TRoiPen handlePen = CreateHandlePen(handleColor, 1, psSolid);
  const int32_t handleSize = HandleSize / 2 + MarkerSize();
  for (const QPointF& at : polygon)
    DrawMarker(canvas, static_cast<int32_t>(at.x()), static_cast<int32_t>(at.y()), handleBrush, handlePen,
               MarkerShape(), handleSize);
}

void TRoiPolyline::Assign(const TRegionOfInterest* source) {
  if (const auto* dot = dynamic_cast<const TROIDot*>(source)) {
    points_ = {dot->Points().front()};
    CopyProperties(*dot);
    selected_ = false;
    selectedPoint_ = -1;
    return;
  }
  TRegionOfInterest::Assign(source);
}

}  // namespace orbelin
