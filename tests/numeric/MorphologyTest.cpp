#include "numeric/Morphology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "foundation/Exceptions.h"
#include "numeric/ForcedLevel.h"

namespace orbelin {
namespace {

TLattice FromRows(const std::vector<std::string>& rows) {
  TLattice l;
  l.Init(int32_t(rows[0].size()), int32_t(rows.size()), liZero);
  size_t i = 0;
  for (const auto& row : rows)
    for (char c : row) l.Data[i++] = c == '#' ? 65535 : 0;
  return l;
}

TStructureElement Element(TPoints points) {
  return TStructureElement{std::move(points)};
}

TEST(StructureElementTest, ShapesAndOrder) {
  TStructureElement e;
  MakeSquare(e, 1);
  EXPECT_EQ(e.Points, SquareElement.Points);
  EXPECT_EQ(PointCount(e), 9);
  EXPECT_EQ(PointAt(e, 0), (TPoint{-1, -1}));
  EXPECT_EQ(PointX(e, 1), 0);
  EXPECT_EQ(PointY(e, 8), 1);
  EXPECT_THROW(PointAt(e, 9), EArgumentOutOfRange);
  EXPECT_EQ(CrossElement.Points, (TPoints{{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}));

  MakeBandedCross(e, 2, 1);
  ASSERT_EQ(PointCount(e), 21);
  EXPECT_EQ(TPoints(e.Points.begin(), e.Points.begin() + 3), (TPoints{{-1, -2}, {0, -2}, {1, -2}}));
  EXPECT_EQ(e.Points[3], (TPoint{-2, -1}));
  EXPECT_EQ(e.Points[20], (TPoint{1, 2}));
  MakeBandedCross(e, 1, 5);  // the band is cut to the radius: the square
  EXPECT_EQ(e.Points, SquareElement.Points);
  MakeSquare(e, 0);
  EXPECT_EQ(e.Points, (TPoints{{0, 0}}));

  for (auto make : {+[] { TStructureElement x; MakeSquare(x, -1); },
                    +[] { TStructureElement x; MakeBandedCross(x, -1, 0); },
                    +[] { TStructureElement x; MakeBandedCross(x, 2, -1); }}) {
    try {
      make();
      ADD_FAILURE() << "no error";
    } catch (const ELatticeError& err) {
      EXPECT_STREQ(err.what(), "Size of structure element cannot be negative.");
    }
  }
}

TEST(StructureElementTest, NearestToOriginTakesFirstOnTies) {
  EXPECT_EQ(NearestToOrigin(SquareElement), (TPoint{0, 0}));
  EXPECT_EQ(NearestToOrigin(Element({{2, 2}, {0, 1}, {-1, 0}})), (TPoint{0, 1}));
  EXPECT_EQ(NearestToOrigin(Element({})), (TPoint{0, 0}));
}

TEST(MorphologyTest, SinglePixelWithCross) {
  const TLattice dot = FromRows({".....", ".....", "..#..", ".....", "....."});
  TLattice out;
  Erode(out, dot, CrossElement, true);
  EXPECT_EQ(out.Values(), TWordDynArray(25, 0));
  Dilate(out, dot, CrossElement);
  EXPECT_EQ(out.Values(), FromRows({".....", "..#..", ".###.", "..#..", "....."}).Values());
  Dilate(out, dot, SquareElement);
  EXPECT_EQ(out.Values(), FromRows({".....", ".###.", ".###.", ".###.", "....."}).Values());
}

TEST(MorphologyTest, BorderMaxKeepsEdgeObjects) {
  TLattice full;
  full.Init(5, 4, liMaxFill);
  TLattice out;
  Erode(out, full, SquareElement, true);
  EXPECT_EQ(out.Values(), full.Values());
  Erode(out, full, SquareElement, false);
  EXPECT_EQ(out.Values(), FromRows({".....", ".###.", ".###.", "....."}).Values());
  ErodeByShifts(out, full, SquareElement, false);
  EXPECT_EQ(out.Values(), FromRows({".....", ".###.", ".###.", "....."}).Values());
}

TEST(MorphologyTest, ElementsWithoutOrigin) {
  const TLattice src = FromRows({"#..#", ".#.."});
  TLattice out;
  // A one-point element (1, 0) moves every value one pixel right.
  Dilate(out, src, Element({{1, 0}}));
  EXPECT_EQ(out.Values(), FromRows({".#..", "..#."}).Values());
  // Erosion samples q + (1, 0): a left shift; where no sample lies inside
  // the result is 0 whether or not the border counts as 65535.
  Erode(out, src, Element({{1, 0}}), true);
  EXPECT_EQ(out.Values(), FromRows({"..#.", "#..."}).Values());
  Erode(out, src, Element({{1, 0}}), false);
  EXPECT_EQ(out.Values(), FromRows({"..#.", "#..."}).Values());
  // Empty elements: erosion copies, dilation clears.
  Erode(out, src, Element({}), true);
  EXPECT_EQ(out.Values(), src.Values());
  Dilate(out, src, Element({}));
  EXPECT_EQ(out.Values(), TWordDynArray(8, 0));
}

TEST(MorphologyTest, DestinationMustDifferFromSource) {
  TLattice l = FromRows({"#.", ".#"});
  EXPECT_THROW(Erode(l, l, SquareElement, true), ELatticeError);
  EXPECT_THROW(Dilate(l, l, Element({{2, 0}})), ELatticeError);
  TLattice empty, out;
  Erode(out, empty, SquareElement, true);
  EXPECT_EQ(out.Count, 0);
}

// dest(q) by the definitions: min over s of src(q + s) / max over s of src(q − s).
TWordDynArray Brute(const TLattice& src, const TStructureElement& e, bool erode, bool borderMax) {
  TWordDynArray out(size_t(src.Count));
  const bool hasOrigin = std::count(e.Points.begin(), e.Points.end(), TPoint{0, 0}) > 0;
  for (int32_t y = 0; y < src.Height; ++y)
    for (int32_t x = 0; x < src.Width; ++x) {
      int acc = erode ? 65535 : 0;
      bool anyInside = false;
      for (const TPoint& s : e.Points) {
        const int u = erode ? x + s.x : x - s.x, v = erode ? y + s.y : y - s.y;
        const bool inside = u >= 0 && v >= 0 && u < src.Width && v < src.Height;
        anyInside |= inside;
        const int sample = inside ? src.Data[size_t(v * src.Width + u)] : (erode && borderMax ? 65535 : 0);
        acc = erode ? std::min(acc, sample) : std::max(acc, sample);
      }
      // A borderMax erosion by an element without the origin leaves 0 where
      // no sample lies inside.
      if (erode && borderMax && !hasOrigin && !anyInside) acc = 0;
      if (erode && e.Points.empty()) acc = src.Data[size_t(y * src.Width + x)];
      out[size_t(y * src.Width + x)] = uint16_t(acc);
    }
  return out;
}

TLattice RandomLattice(std::mt19937& rng, int32_t w, int32_t h) {
  TLattice l;
  l.Init(w, h, liZero);
  for (auto& v : l.Data) {
    const unsigned r = rng();
    v = (r & 3) == 0 ? 0 : (r & 3) == 1 ? 65535 : uint16_t(r >> 16);
  }
  return l;
}

TEST(MorphologyTest, ShiftedCopiesMatchDefinition) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 60; ++trial) {
    const TLattice src = RandomLattice(rng, 1 + int32_t(rng() % 9), 1 + int32_t(rng() % 9));
    TStructureElement e;
    const int points = int(rng() % 6);
    for (int i = 0; i < points; ++i)
      e.Points.push_back({int32_t(rng() % 7) - 3, int32_t(rng() % 7) - 3});
    for (const bool borderMax : {true, false}) {
      TLattice out;
      ErodeByShifts(out, src, e, borderMax);
      ASSERT_EQ(out.Values(), Brute(src, e, true, borderMax)) << "trial " << trial;
    }
    TLattice out;
    DilateByShifts(out, src, e);
    ASSERT_EQ(out.Values(), Brute(src, e, false, false)) << "trial " << trial;
  }
}

// The single-pass route for the square and the cross equals the shifted
// copies on every vector path, for tiny sizes and for widths around the
// vector lengths.
TEST(MorphologyTest, SquareAndCrossRouteMatchesShiftedCopies) {
  std::mt19937 rng(5);
  TStructureElement reversedSquare{TPoints(SquareElement.Points.rbegin(), SquareElement.Points.rend())};
  TStructureElement doubledCross{CrossElement};
  doubledCross.Points.push_back({0, 0});
  const TStructureElement* elements[] = {&SquareElement, &CrossElement, &reversedSquare, &doubledCross};
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {1, 5}, {6, 1}, {2, 2},  {3, 3},  {7, 4},
                                               {8, 3}, {9, 2}, {16, 3}, {17, 5}, {31, 4}, {33, 7},
                                               {50, 9}};
  for (int level : test::ForceableLevels()) {
    const test::ForcedLevel forced(level);
    for (const auto& [w, h] : sizes) {
      const TLattice src = RandomLattice(rng, w, h);
      for (const TStructureElement* e : elements) {
        TLattice fast, slow;
        for (const bool borderMax : {true, false}) {
          Erode(fast, src, *e, borderMax);
          ErodeByShifts(slow, src, *e, borderMax);
          ASSERT_EQ(fast.Values(), slow.Values()) << "erode level " << level << " " << w << "x" << h;
        }
        Dilate(fast, src, *e);
        DilateByShifts(slow, src, *e);
        ASSERT_EQ(fast.Values(), slow.Values()) << "dilate level " << level << " " << w << "x" << h;
      }
    }
  }
}

}  // namespace
}  // namespace orbelin
