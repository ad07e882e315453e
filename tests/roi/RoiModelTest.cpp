#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "foundation/Exceptions.h"
#include "roi/RoiDot.h"
#include "roi/RoiPolyline.h"
#include "roi/RoiTestSupport.h"

namespace orbelin {
namespace {

using test::MakePolyline;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(no error)";
}

TEST(RoiModel, InitialValuesOfBothKinds) {
  TRoiPolyline polyline;
  EXPECT_EQ(polyline.PointCount(), 0);
  EXPECT_EQ(polyline.MarkerShape(), 2);
  EXPECT_EQ(polyline.Color(), 0x0000FFu);
  EXPECT_EQ(polyline.DisabledColor(), kNoColor);
  EXPECT_TRUE(polyline.Closed());
  EXPECT_FALSE(polyline.FixedPointCount());
  EXPECT_EQ(polyline.Bounds(), (TRect{0, 0, 0, 0}));

  TROIDot dot;
  EXPECT_EQ(dot.PointCount(), 1);
  EXPECT_TRUE(dot.FixedPointCount());
  EXPECT_EQ(dot.MarkerShape(), 0);
  EXPECT_EQ(dot.MarkerSize(), 2);
  EXPECT_EQ(dot.HandleSize, 4);
  dot.SetColor(0x00FF00);
  EXPECT_EQ(dot.Color(), 0x00FF00u);
  EXPECT_EQ(dot.FillColor(), 0x00FF00u);
}

TEST(RoiModel, InsertPointSkipsOnlyNeighbourDuplicates) {
  struct Case {
    int32_t index;
    TPoint point;
    bool stored;
  };
  // Neighbours are compared as they stand before the insertion.
  const Case cases[] = {
      {2, {5, 5}, false},  // equal to point 1
      {1, {5, 5}, true},   // points 0 and 2 are compared, not point 1
      {1, {9, 9}, false},  // equal to point 2
      {3, {9, 9}, false},  // appended after an equal last point
      {0, {0, 0}, true},   // before point 0, compared with point 1 only
      {3, {7, 7}, true},
  };
  for (const Case& c : cases) {
    TRoiPolyline polyline;
    polyline.SetPoints({{0, 0}, {5, 5}, {9, 9}});
    polyline.InsertPoint(c.index, c.point.x, c.point.y);
    EXPECT_EQ(polyline.PointCount(), c.stored ? 4 : 3) << "index " << c.index;
    if (c.stored) {
      EXPECT_EQ(polyline.GetPoint(c.index), c.point);
    }
  }
  TRoiPolyline anyPoint;
  anyPoint.SkipDuplicatePoints = false;
  anyPoint.SetPoints({{0, 0}, {5, 5}});
  anyPoint.InsertPoint(2, 5, 5);
  EXPECT_EQ(anyPoint.PointCount(), 3);
}

TEST(RoiModel, SizesBelowOneAreStoredAsOne) {
  TRoiPolyline polyline;
  polyline.SetPenWidth(0);
  EXPECT_EQ(polyline.PenWidth(), 1);
  polyline.SetMarkerSize(-3);
  EXPECT_EQ(polyline.MarkerSize(), 1);
  polyline.SetPenWidth(3);
  polyline.SetMarkerSize(6);
  EXPECT_EQ(polyline.PenWidth(), 3);
  EXPECT_EQ(polyline.MarkerSize(), 6);
  polyline.SetSelectedPoint(-7);  // anything below -1 means no point
  EXPECT_EQ(polyline.SelectedPoint(), -1);
}

TEST(RoiModel, BoundsGrowByMarkerPenAndHandle) {
  TRoiPolyline polyline;
  polyline.AddPoint(10, 20);
  // One pixel grown by 2 + 1 + 4 on every side.
  EXPECT_EQ(polyline.Bounds(), (TRect{3, 13, 18, 28}));
  EXPECT_EQ(polyline.RepaintRect(), (TRect{-2, 8, 23, 33}));
  polyline.AddPoint(30, 25);
  polyline.SetPenWidth(3);
  EXPECT_EQ(polyline.Bounds(), (TRect{1, 11, 40, 35}));
  polyline.DeletePoint(1);
  polyline.DeletePoint(0);
  EXPECT_EQ(polyline.Bounds(), (TRect{0, 0, 0, 0}));
}

TEST(RoiModel, FailuresCarryTheirMessages) {
  TRoiPolyline polyline;
  TROIDot dot;
  EXPECT_EQ(MessageOf([&] { polyline.SetLastPoint({1, 1}); }), "Point index (-1) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.DuplicateLastPoint(); }), "Point index (0) is out of range.");
  polyline.SetPoints({{0, 0}, {4, 0}, {4, 4}});
  EXPECT_EQ(MessageOf([&] { polyline.GetPoint(3); }), "Point index (3) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.SetPoint(-1, 0, 0); }), "Point index (-1) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.MovePoint(5, 1, 1); }), "Point index (5) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.InsertPoint(4, 1, 1); }), "Point index (4) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.DeletePoint(3); }), "Point index (3) is out of range.");
  EXPECT_EQ(MessageOf([&] { polyline.SetSelectedPoint(3); }), "Point index (3) is out of range.");
  const std::string fixed = "This ROI has fixed number of points.";
  EXPECT_EQ(MessageOf([&] { dot.InsertPoint(0, 1, 1); }), fixed);
  EXPECT_EQ(MessageOf([&] { dot.DeletePoint(0); }), fixed);
  EXPECT_EQ(MessageOf([&] { dot.SetPointCount(2); }), fixed);
  EXPECT_EQ(MessageOf([&] { dot.RemoveDuplicatePoints(); }), fixed);
  EXPECT_EQ(MessageOf([&] { dot.Assign(&polyline); }), "Class TRoiPolyline cannot be assigned to class TROIDot.");
  EXPECT_EQ(dot.PointCount(), 1);
}

TEST(RoiModel, PointEditsAndDuplicateRemoval) {
  TRoiPolyline polyline;
  polyline.SetPoints({{1, 1}, {1, 1}, {2, 2}, {1, 1}});
  polyline.RemoveDuplicatePoints();
  EXPECT_EQ(polyline.Points(), (TPoints{{1, 1}, {2, 2}, {1, 1}}));
  polyline.DuplicateLastPoint();
  EXPECT_EQ(polyline.Points(), (TPoints{{1, 1}, {2, 2}, {1, 1}, {1, 1}}));
  polyline.SetLastPoint({7, 8});
  polyline.MovePoint(0, 2, -1);
  polyline.Offset(10, 20);
  EXPECT_EQ(polyline.Points(), (TPoints{{13, 20}, {12, 22}, {11, 21}, {17, 28}}));
  // Scaling rounds half to even: (1 - 0) * 2.5 = 2.5 -> 2, 3 * 2.5 = 7.5 -> 8.
  polyline.SetPoints({{1, 3}, {0, 0}});
  polyline.Scale(0, 0, 2.5, 2.5);
  EXPECT_EQ(polyline.Points(), (TPoints{{2, 8}, {0, 0}}));
}

TEST(RoiModel, AssignCopiesShapeAndDeselects) {
  TRoiPolyline source;
  source.SetPoints({{0, 0}, {10, 0}, {10, 10}});
  source.SetColor(0x00FF00);
  source.SetClosed(false);
  source.SetSelected(true);
  TRoiPolyline target;
  target.SetSelected(true);
  target.Assign(&source);
  EXPECT_EQ(target.Points(), source.Points());
  EXPECT_EQ(target.Color(), 0x00FF00u);
  EXPECT_FALSE(target.Closed());
  EXPECT_FALSE(target.Selected());
  EXPECT_EQ(target.Bounds(), source.Bounds());

  TROIDot dot;
  dot.SetPoint(0, 42, 17);
  dot.SetMarkerSize(8);
  target.Assign(&dot);
  EXPECT_EQ(target.Points(), (TPoints{{42, 17}}));
  EXPECT_EQ(target.MarkerSize(), 8);
  EXPECT_EQ(target.Bounds(), dot.Bounds());

  target.Assign(nullptr);  // no source resets
  EXPECT_EQ(target.PointCount(), 0);
  EXPECT_TRUE(target.Closed());
}

TEST(RoiModel, PolylineVertexToleranceDependsOnSelection) {
  TRoiPolyline polyline;
  polyline.SetPoints({{50, 50}, {150, 50}, {150, 150}, {50, 150}});
  polyline.SetMarkerSize(4);
  struct Case {
    bool selected;
    int32_t dx, dy;
    THitKind kind;
  };
  const Case cases[] = {
      {false, 4, -4, kHitVertex}, {false, -5, -5, kHitInside}, {false, -5, 0, kHitEdge},
      {true, 8, 8, kHitVertex},   {true, -8, 8, kHitVertex}, {true, -9, -9, kHitInside},
  };
  for (const Case& c : cases) {
    polyline.SetSelected(c.selected);
    int32_t point = -1;
    EXPECT_EQ(polyline.HitTest(150 + c.dx, 150 + c.dy, point), c.kind)
        << (c.selected ? "selected " : "unselected ") << c.dx << "," << c.dy;
    if (c.kind == kHitVertex) {
      EXPECT_EQ(point, 2);
    }
  }
}

TEST(RoiModel, PolylineEdgesAndInside) {
  TRoiPolyline triangle;
  triangle.SetPoints({{0, 0}, {100, 0}, {50, 80}});
  int32_t point = -1;
  EXPECT_EQ(triangle.HitTest(50, 30, point), kHitInside);
  EXPECT_EQ(point, 1);  // one crossing to the left
  EXPECT_EQ(triangle.HitTest(50, 2, point), kHitEdge);  // horizontal edge
  EXPECT_EQ(point, 0);
  EXPECT_EQ(triangle.HitTest(76, 40, point), kHitEdge);  // steep edge 1-2
  EXPECT_EQ(point, 1);
  EXPECT_EQ(triangle.HitTest(23, 40, point), kHitEdge);  // closing edge 2-0
  EXPECT_EQ(point, 2);
  EXPECT_EQ(triangle.HitTest(200, 30, point), kHitNone);
  EXPECT_EQ(point, 2);  // both sides crossed: outside

  triangle.SetClosed(false);  // open: no inside, no closing edge
  EXPECT_EQ(triangle.HitTest(50, 30, point), kHitNone);
  EXPECT_EQ(triangle.HitTest(23, 40, point), kHitNone);
  triangle.SetFilled(true);  // filled counts as closed
  EXPECT_EQ(triangle.HitTest(50, 30, point), kHitInside);

  TRoiPolyline flat;  // flat edges use the interpolated y
  flat.SetPoints({{0, 0}, {100, 20}, {0, 40}});
  EXPECT_EQ(flat.HitTest(50, 12, point), kHitEdge);
  EXPECT_EQ(flat.HitTest(40, 20, point), kHitInside);

  TRoiPolyline segment;
  segment.SetPoints({{0, 0}, {100, 100}});
  ASSERT_TRUE(segment.Closed());
  EXPECT_EQ(segment.HitTest(50, 52, point), kHitEdge);
  EXPECT_EQ(segment.HitTest(50, 70, point), kHitNone);
  EXPECT_EQ(segment.HitTest(70, 50, point), kHitNone);
}

TEST(RoiModel, DotHitRadius) {
  TROIDot dot;
  dot.SetPoint(0, 100, 100);
  dot.SetMarkerSize(8);
  int32_t point = -1;
  // Unselected: radius max(8, 5) - 1 = 7; selected: max(5, 4 + 8 - 1) - 1 = 10.
  EXPECT_EQ(dot.HitTest(107, 100, point), kHitVertex);
  EXPECT_EQ(point, 0);
  EXPECT_EQ(dot.HitTest(105, 105, point), kHitNone);
  dot.SetSelected(true);
  EXPECT_EQ(dot.HitTest(106, 108, point), kHitVertex);
  EXPECT_EQ(dot.HitTest(107, 108, point), kHitNone);
  dot.SetMarkerSize(1);  // never below radius 4
  dot.SetSelected(false);
  EXPECT_EQ(dot.HitTest(104, 100, point), kHitVertex);
}

}  // namespace
}  // namespace orbelin
