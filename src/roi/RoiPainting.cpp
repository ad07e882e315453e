#include "roi/RoiPainting.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "numeric/Geometry.h"
#include "roi/RegionOfInterest.h"
#include "roi/RoiGroup.h"

namespace orbelin {

namespace {

// System colours carry 0xFF in the top byte and a palette index below.
QPalette::ColorRole SystemColorRole(uint32_t index) {
  switch (index) {
    case 5: return QPalette::Base;              // window background
    case 7: case 8: case 23: return QPalette::WindowText;
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: case 22: return QPalette::Button;
    case 16: return QPalette::Mid;
    case 17: return QPalette::PlaceholderText;
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;
    case 21: return QPalette::Shadow;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
  }
}

Qt::PenStyle QtPenStyle(TPenStyle style) {
  switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle QtHatchStyle(TBrushStyle style) {
  switch (style) {
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
  }
}

}  // namespace

uint32_t ColorToArgb(TColor color, uint8_t alpha) {
  if ((color & 0xFF000000u) == 0xFF000000u) {
    const QPalette palette = QGuiApplication::instance() != nullptr ? QGuiApplication::palette() : QPalette();
    const QRgb rgb = palette.color(QPalette::Active, SystemColorRole(color & 0xFFu)).rgb();
    return static_cast<uint32_t>(alpha) << 24 | (rgb & 0x00FFFFFFu);
  }
  const uint32_t red = color & 0xFFu;
  const uint32_t green = (color >> 8) & 0xFFu;
  const uint32_t blue = (color >> 16) & 0xFFu;
  return static_cast<uint32_t>(alpha) << 24 | red << 16 | green << 8 | blue;
}

TRoiPen MakeRoiPen(TColor color, uint8_t alpha, int width, TPenStyle style) {
  if (style == psClear) return std::nullopt;
  QPen pen(QColor::fromRgba(ColorToArgb(color, alpha)));
  pen.setWidthF(static_cast<qreal>(width));
  pen.setStyle(QtPenStyle(style));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

TRoiBrush MakeRoiBrush(TColor color, uint8_t alpha, TBrushStyle style) {
  const QColor qcolor = QColor::fromRgba(ColorToArgb(color, alpha));
  if (style == bsSolid) return TRoiFill{QBrush(qcolor, Qt::SolidPattern), false};
  if (style == bsClear || style > bsDiagCross) return std::nullopt;
  return TRoiFill{QBrush(qcolor, QtHatchStyle(style)), true};
}

// ---- drawing context -------------------------------------------------------------

TRoiGraphics::TRoiGraphics(QPainter& painter, bool antialias, const QRect& clip) : painter_(painter) {
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, antialias);
  painter_.setClipRect(clip, Qt::ReplaceClip);
  // Integer coordinates name pixel centres.
  painter_.translate(0.5, 0.5);
}

TRoiGraphics::~TRoiGraphics() { painter_.restore(); }

void TRoiGraphics::FillAndOutline(const QPainterPath& path, const TRoiBrush& brush, const TRoiPen& pen) {
  if (brush) {
    if (brush->blackGaps) painter_.fillPath(path, QBrush(QColor::fromRgba(0xFF000000u)));
    painter_.fillPath(path, brush->brush);
  }
  Outline(path, pen);
}

void TRoiGraphics::Outline(const QPainterPath& path, const TRoiPen& pen) {
  if (pen) painter_.strokePath(path, *pen);
}

// ---- region side -----------------------------------------------------------------

TRoiGraphics TRegionOfInterest::CreateGraphics(QPainter& canvas) const {
  const int32_t mode = group_ != nullptr ? group_->SmoothingMode : 4;
  const bool antialias = mode == 2 || mode == 4 || mode == 5;
  const TRect clip = group_ != nullptr ? group_->ImageToView(clipRect_) : clipRect_;
  return TRoiGraphics(canvas, antialias, QRect(clip.left, clip.top, clip.Width(), clip.Height()));
}

TRoiPen TRegionOfInterest::CreatePen(TColor color, int32_t width, TPenStyle style) const {
  return MakeRoiPen(color, PenAlpha, width, style);
}

TRoiBrush TRegionOfInterest::CreateBrush(TColor color, TBrushStyle style) const {
  return MakeRoiBrush(color, BrushAlpha, style);
}

TRoiPen TRegionOfInterest::CreateHandlePen(TColor color, int32_t width, TPenStyle style) const {
  return MakeRoiPen(color, static_cast<uint8_t>((PenAlpha + 255) / 2), width, style);
}

TRoiBrush TRegionOfInterest::CreateHandleBrush(TColor color, TBrushStyle style) const {
  return MakeRoiBrush(color, static_cast<uint8_t>((BrushAlpha + 255) / 2), style);
}

void TRegionOfInterest::DrawMarker(QPainter& canvas, int32_t x, int32_t y, const TRoiBrush& brush,
                                   const TRoiPen& pen, uint8_t shape, int32_t size) const {
  if (!brush && !pen) return;
  const int32_t half = size / 2;
  const QRectF box(x - half, y - half, size, size);
  QPainterPath path;
  switch (shape) {
    case 0: path.addEllipse(box); break;
    case 1: {
      const qreal arc = std::min(2 * half, size);
      path.addRoundedRect(box, arc / 2, arc / 2);
      break;
    }
    case 2: path.addRect(box); break;
    default: {
      const double radius = (size + 1) / 2.0;
      const TPoints outline = MarkerShapePolygon(shape, radius, radius);
      if (outline.empty()) return;
      QPolygonF polygon;
      for (const TPoint& p : outline) polygon << QPointF(p.x + x, p.y + y);
      path.addPolygon(polygon);
      path.closeSubpath();
      break;
    }
  }
  TRoiGraphics graphics = CreateGraphics(canvas);
  graphics.FillAndOutline(path, brush, pen);
}

// ---- group side ------------------------------------------------------------------

void TRoiGroup::SetBackground(const QImage* bitmap, bool scaled) {
  if (bitmap == nullptr || bitmap->isNull()) {
    background_ = QImage();
    return;
  }
  QSize size = bitmap->size();
  if (scaled && zoom_ != 1.0)
    size = QSize(static_cast<int>(std::nearbyint(size.width() * zoom_)),
                 static_cast<int>(std::nearbyint(size.height() * zoom_)));
  if (size.width() <= 0 || size.height() <= 0) {
    background_ = QImage();
  } else if (size == bitmap->size()) {
    background_ = bitmap->copy();
  } else {
    background_ = bitmap->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
}

void TRoiGroup::DrawRegions(QPainter& canvas, const TRect* onlyWithin, const TRect& clip) {
  auto meets = [&](const TRegionOfInterest& region) {
    if (onlyWithin == nullptr) return true;
    const TRect r = region.RepaintRect();
    return std::max(r.left, onlyWithin->left) < std::min(r.right, onlyWithin->right) &&
           std::max(r.top, onlyWithin->top) < std::min(r.bottom, onlyWithin->bottom);
  };
  // Disabled regions lie beneath every enabled one.
  for (const bool enabledPass : {false, true}) {
    for (TRegionOfInterest* region : regions_) {
      if (!region->Visible || region->Enabled() != enabledPass || !meets(*region)) continue;
      region->SetClipRect(clip);
      region->Draw(canvas, region->Enabled(), region->Selected());
    }
  }
}

void TRoiGroup::DrawAll(QPainter& canvas) {
  if (!background_.isNull()) canvas.drawImage(0, 0, background_);
  if (!ShowRegions) return;
  const TRect clip{0, 0, static_cast<int32_t>(std::nearbyint(background_.width() / zoom_)),
                   static_cast<int32_t>(std::nearbyint(background_.height() / zoom_))};
  DrawRegions(canvas, nullptr, clip);
}

void TRoiGroup::DrawRect(QPainter& canvas, const TRect& rect) {
  auto round = [this](int32_t value) { return static_cast<int>(std::nearbyint(value * zoom_)); };
  const QRect view(QPoint(round(rect.left), round(rect.top)), QPoint(round(rect.right) - 1, round(rect.bottom) - 1));
  if (!background_.isNull() && !view.isEmpty()) {
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.drawImage(view.topLeft(), background_, view);
    canvas.restore();
  }
  if (!ShowRegions) return;
  DrawRegions(canvas, &rect, rect);
}

}  // namespace orbelin
