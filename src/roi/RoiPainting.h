#pragma once
// Vector drawing of regions on a QPainter: colour conversion, pens, brushes
// and the drawing context that a region opens for each shape it paints.
#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <cstdint>
#include <optional>

#include "roi/RoiTypes.h"

namespace orbelin {

// 0xAARRGGBB of a toolkit colour; system colours are resolved first.
uint32_t ColorToArgb(TColor color, uint8_t alpha);

using TRoiPen = std::optional<QPen>;

// A fill brush. Hatched brushes paint their gaps opaque black.
struct TRoiFill {
  QBrush brush;
  bool blackGaps = false;
};
using TRoiBrush = std::optional<TRoiFill>;

// A pen of colour, width and dash style; none for the clear style.
TRoiPen MakeRoiPen(TColor color, uint8_t alpha, int width, TPenStyle style);
// Solid, hatched or none (clear).
TRoiBrush MakeRoiBrush(TColor color, uint8_t alpha, TBrushStyle style);

// The painter set up for one region: smoothing, clip (view pixels) and the
// half-pixel shift that puts integer coordinates on pixel centres. The
// painter's previous state comes back when the context goes.
class TRoiGraphics {
public:
  TRoiGraphics(QPainter& painter, bool antialias, const QRect& clip);
  ~TRoiGraphics();
  TRoiGraphics(const TRoiGraphics&) = delete;
  TRoiGraphics& operator=(const TRoiGraphics&) = delete;

  QPainter& Painter() { return painter_; }
  // Fills the path with the brush (if any), then outlines it with the pen (if any).
  void FillAndOutline(const QPainterPath& path, const TRoiBrush& brush, const TRoiPen& pen);
  void Outline(const QPainterPath& path, const TRoiPen& pen);

private:
  QPainter& painter_;
};

}  // namespace orbelin
