#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "roi/RoiDot.h"
#include "roi/RoiGroup.h"
#include "roi/RoiPolyline.h"
#include "roi/RoiTestSupport.h"

namespace orbelin {
namespace {

using test::MakePolyline;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kSilver = 0xFFC0C0C0;

// A group over a white picture of the given view size.
struct RoiPainting : ::testing::Test {
  TRoiGroup group;
  QImage canvas;

  void SetBackground(int width, int height) {
    QImage white(width, height, QImage::Format_RGB32);
    white.fill(Qt::white);
    group.SetBackground(&white, false);
    canvas = QImage(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);  // anything not painted shows up
  }
  void DrawAll() {
    QPainter painter(&canvas);
    group.DrawAll(painter);
  }
  QRgb At(int x, int y) const { return canvas.pixel(x, y); }
  TRoiPolyline* Square(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return MakePolyline(&group, {{left, top}, {right, top}, {right, bottom}, {left, bottom}});
  }
};

bool Near(QRgb actual, QRgb expected, int tolerance = 3) {
  return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
         std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
         std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

TEST_F(RoiPainting, FillThenOutlineThenHandles) {
  SetBackground(120, 120);
  TRoiPolyline* square = Square(20, 20, 80, 80);
  square->SetFilled(true);
  square->SetFillColor(0xFF0000);  // toolkit colours are 0xBBGGRR: blue
  square->SetColor(0x0000FF);      // red
  square->Select();
  DrawAll();
  EXPECT_EQ(At(50, 50), kBlue);
  EXPECT_EQ(At(50, 20), kRed);   // outline over the fill's edge
  EXPECT_EQ(At(80, 50), kRed);
  EXPECT_EQ(At(50, 19), kWhite);
  EXPECT_EQ(At(20, 20), kBlack);  // vertex handle in the selection colour
  EXPECT_EQ(At(21, 19), kBlack);
  EXPECT_EQ(At(80, 80), kBlack);
  EXPECT_EQ(At(10, 10), kWhite);
}

TEST_F(RoiPainting, OpenOneAndTwoPointShapes) {
  SetBackground(100, 100);
  TRoiPolyline* open = MakePolyline(&group, {{10, 10}, {60, 10}, {60, 60}});
  open->SetClosed(false);
  MakePolyline(&group, {{80, 80}});
  DrawAll();
  EXPECT_EQ(At(30, 10), kRed);
  EXPECT_EQ(At(60, 30), kRed);
  EXPECT_EQ(At(35, 35), kWhite);  // the diagonal back to the start is not drawn
  // One point: a line one pixel long, straddling two pixel centres.
  EXPECT_TRUE(Near(At(80, 80), qRgb(255, 128, 128), 8));
  EXPECT_TRUE(Near(At(81, 80), qRgb(255, 128, 128), 8));
  EXPECT_EQ(At(79, 80), kWhite);
  EXPECT_EQ(At(82, 80), kWhite);
  EXPECT_EQ(At(80, 79), kWhite);
}

TEST_F(RoiPainting, DisabledRegionsLieBeneathEnabledOnes) {
  SetBackground(120, 120);
  TRoiPolyline* enabled = Square(10, 10, 60, 60);
  enabled->SetFilled(true);
  enabled->SetFillColor(0x00FF00);
  TRoiPolyline* disabled = Square(30, 30, 90, 90);  // later in the list, yet painted first
  disabled->SetFilled(true);
  disabled->SetFillColor(0xFF0000);
  disabled->SetEnabled(false);
  DrawAll();
  EXPECT_EQ(At(45, 45), kGreen);
  EXPECT_EQ(At(75, 75), kSilver);  // the group's default colour
  EXPECT_EQ(At(90, 75), kSilver);  // its outline too
}

TEST_F(RoiPainting, HatchGapsAreBlackAndPensCarryAlpha) {
  SetBackground(120, 120);
  TRoiPolyline* hatched = Square(10, 10, 50, 50);
  hatched->SetFilled(true);
  hatched->SetFillColor(0x00FF00);
  hatched->SetPenStyle(psClear);
  hatched->BrushStyle = bsHorizontal;
  TRoiPolyline* faint = MakePolyline(&group, {{70, 80}, {110, 80}});
  faint->PenAlpha = 128;
  faint->SetPenWidth(3);
  DrawAll();
  int green = 0, black = 0, other = 0;
  for (int y = 15; y < 45; ++y) {
    const QRgb pixel = At(30, y);
    (pixel == kGreen ? green : pixel == kBlack ? black : other)++;
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(black, 0);
  EXPECT_EQ(other, 0);
  EXPECT_TRUE(Near(At(90, 80), qRgb(255, 127, 127))) << std::hex << At(90, 80);
}

TEST_F(RoiPainting, ZoomScalesShapesButNotPens) {
  group.SetZoom(0.5);
  SetBackground(60, 60);  // view pixels: the image is 120 x 120
  TRoiPolyline* square = Square(20, 20, 80, 80);
  square->SetFilled(true);
  square->SetFillColor(0xFF0000);
  DrawAll();
  EXPECT_EQ(At(10, 25), kRed);
  EXPECT_EQ(At(11, 25), kBlue);
  EXPECT_EQ(At(25, 25), kBlue);
  EXPECT_EQ(At(45, 45), kWhite);
}

TEST_F(RoiPainting, BackgroundIsCopiedOrStretchedByZoom) {
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  group.SetBackground(&picture, true);  // zoom 1: a copy
  EXPECT_EQ(group.Background().size(), QSize(40, 30));
  group.SetZoom(0.5);
  group.SetBackground(&picture, true);
  EXPECT_EQ(group.Background().size(), QSize(20, 15));
  EXPECT_EQ(group.Background().pixel(10, 7), kBlue);
  group.SetBackground(&picture, false);
  EXPECT_EQ(group.Background().size(), QSize(40, 30));
  group.SetZoom(0.01);  // rounds to nothing: released
  group.SetBackground(&picture, true);
  EXPECT_TRUE(group.Background().isNull());
  group.SetBackground(&picture, false);
  group.SetBackground(nullptr, false);
  EXPECT_TRUE(group.Background().isNull());
}

TEST_F(RoiPainting, MarkerShapesOfDots) {
  SetBackground(100, 100);
  auto* square = new TROIDot(&group);
  auto* diamond = new TROIDot(&group);
  for (TROIDot* dot : {square, diamond}) {
    dot->SetFilled(true);
    dot->SetColor(0x00FF00);
    dot->SetMarkerSize(8);
  }
  square->SetPoint(0, 30, 50);
  square->SetMarkerShape(2);
  diamond->SetPoint(0, 70, 50);
  diamond->SetMarkerShape(3);  // from the regular-polygon generator
  DrawAll();
  EXPECT_EQ(At(30, 50), kGreen);
  EXPECT_EQ(At(27, 47), kGreen);  // square corner
  EXPECT_EQ(At(70, 50), kGreen);
  EXPECT_EQ(At(67, 47), kWhite);  // outside the diamond
}

TEST_F(RoiPainting, DrawRectRepaintsOnlyItsRectangle) {
  SetBackground(150, 100);
  Square(10, 10, 40, 40);
  TRoiPolyline* far = Square(100, 10, 130, 40);
  TRect rect{0, 0, 60, 60};
  {
    QPainter painter(&canvas);
    group.DrawRect(painter, rect);
  }
  EXPECT_EQ(At(25, 10), kRed);
  EXPECT_EQ(At(25, 25), kWhite);   // background copied in
  EXPECT_EQ(At(59, 59), kWhite);
  EXPECT_EQ(At(60, 60), qRgb(255, 0, 255));   // outside: untouched
  EXPECT_EQ(At(115, 10), qRgb(255, 0, 255));  // the far region is not drawn
  (void)far;

  group.ShowRegions = false;
  canvas.fill(Qt::magenta);
  DrawAll();
  EXPECT_EQ(At(25, 10), kWhite);
}

}  // namespace
}  // namespace orbelin
