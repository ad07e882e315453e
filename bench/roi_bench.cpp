// Mouse handling over a frame full of cell outlines: every move either
// hit-tests all regions (hover) or drags one vertex and repaints its area.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>
#include <numbers>

#include "BenchSummary.h"
#include "roi/RoiGroup.h"
#include "roi/RoiPolyline.h"

namespace {

using namespace orbelin;

constexpr int kColumns = 25;
constexpr int kRows = 20;
constexpr int kVertices = 50;
constexpr int kSpacing = 60;
constexpr int kRadius = 24;

struct TNullView : IRoiView {
  void SetCursor(Qt::CursorShape) override {}
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
};

// 500 outlines of 50 vertices on a grid, and a picture to repaint into.
struct TCellFrame {
  TRoiGroup group;
  QImage picture{kColumns * kSpacing, kRows * kSpacing, QImage::Format_RGB32};
  TNullView view;

  explicit TCellFrame(bool repaint) {
    picture.fill(Qt::darkGray);
    group.SetBackground(&picture, false);
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        TPoints outline;
        for (int i = 0; i < kVertices; ++i) {
          const double angle = 2 * std::numbers::pi * i / kVertices;
          outline.push_back({column * kSpacing + kSpacing / 2 + static_cast<int32_t>(std::lround(kRadius * std::cos(angle))),
                             row * kSpacing + kSpacing / 2 + static_cast<int32_t>(std::lround(kRadius * std::sin(angle)))});
        }
        auto* cell = new TRoiPolyline(&group);
        cell->SetPoints(outline);
        cell->SetColor(0x00FFFF);
      }
    }
    if (repaint) {
      group.OnInvalidate = [this](TRoiGroup& g, const TRect& rect) {
        QPainter painter(&picture);
        g.DrawRect(painter, rect);
      };
    }
  }
};

// Hover over empty space between cells: every region is tested and missed.
void BM_HoverMove(benchmark::State& state) {
  TCellFrame frame(false);
  const TShiftState hover{};
  int step = 0;
  for (auto _ : state) {
    const int32_t x = kSpacing * (kColumns / 2) + (step & 1);
    frame.group.MouseMove(&frame.view, hover, x, kSpacing * (kRows / 2));
    ++step;
  }
}
BENCHMARK(BM_HoverMove)->Unit(benchmark::kMicrosecond);

// Drag one vertex of a cell in the middle, repainting the changed area each step.
void BM_DragStep(benchmark::State& state) {
  TCellFrame frame(true);
  const TShiftState held{Qt::NoModifier, Qt::LeftButton, false};
  const int32_t x = kSpacing * (kColumns / 2) + kSpacing / 2 + kRadius;
  const int32_t y = kSpacing * (kRows / 2) + kSpacing / 2;
  frame.group.MouseDown(&frame.view, Qt::LeftButton, held, x, y);
  int step = 0;
  for (auto _ : state) {
    frame.group.MouseMove(&frame.view, held, x + 1 + (step % 8), y + (step % 5));
    ++step;
  }
  frame.group.MouseUp(&frame.view, Qt::LeftButton, held, x, y);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  auto& collector = orbelin::bench::RunAll(argc, argv);
  const double hoverMs = collector.MedianNs("BM_HoverMove") / 1e6;
  const double dragMs = collector.MedianNs("BM_DragStep") / 1e6;
  orbelin::bench::PrintTarget("roi_mouse_move_ms", std::max(hoverMs, dragMs), "<=", 1);
  return 0;
}
