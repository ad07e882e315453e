#include "numeric/Lattice.h"

#include <gtest/gtest.h>

#include "foundation/Exceptions.h"
#include "numeric/Queue2D.h"

namespace orbelin {
namespace {

// A w × h lattice whose value at (x, y) is 1 + x + 10·y.
TLattice Numbered(int32_t w, int32_t h) {
  TLattice l;
  l.Init(w, h, liZero);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) l.Data[size_t(y * w + x)] = uint16_t(1 + x + 10 * y);
  return l;
}

template <class E, class F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing raised)";
}

TEST(LatticeTest, InitModes) {
  TLattice l;
  l.Init(3, 2, liMaxFill);
  EXPECT_EQ(l.Count, 6);
  EXPECT_EQ(l.Values(), TWordDynArray(6, 65535));
  l.Data[0] = 7;
  l.Init(3, 2, liNoFill);
  EXPECT_EQ(l.Data[0], 7);  // content left as it was
  l.Init(4, 2, liNoFill);
  EXPECT_EQ(l.Data[7], 0);  // new storage is zero
  l.Init(3, 2, liZero);
  EXPECT_EQ(l.Values(), TWordDynArray(6, 0));

  const TLattice src = Numbered(4, 3);
  TLattice copy;
  copy.InitLike(src, liCopy);
  EXPECT_EQ(copy.Width, 4);
  EXPECT_EQ(copy.Height, 3);
  EXPECT_EQ(copy.Values(), src.Values());
}

TEST(LatticeTest, InvalidSizesRaiseAndLeaveLatticeEmpty) {
  TLattice l = Numbered(2, 2);
  EXPECT_EQ(MessageOf<ELatticeError>([&] { l.Init(-1, 5, liZero); }), "Invalid width/height: -1x5.");
  EXPECT_EQ(l.Count, 0);
  EXPECT_TRUE(l.Values().empty());
  EXPECT_EQ(MessageOf<ELatticeError>([&] { l.Init(3, -2, liZero); }), "Invalid width/height: 3x-2.");
  // A pixel count beyond 32 bits is refused rather than wrapped.
  EXPECT_THROW(l.Init(70000, 70000, liNoFill), ELatticeError);

  TWordDynArray array(6);
  EXPECT_EQ(MessageOf<ELatticeError>([&] { l.Attach(array, 4, 2); }), "Invalid width/height: 4x2.");
  EXPECT_EQ(MessageOf<ELatticeError>([&] { l.Attach(array, -2, -3); }), "Invalid width/height: -2x-3.");
}

TEST(LatticeTest, ViewWritesThroughUntilReinitialised) {
  TWordDynArray array(6, 3);
  TLattice view;
  view.Attach(array, 3, 2);
  EXPECT_TRUE(view.Data.empty());
  view.Fill(9);
  EXPECT_EQ(array, TWordDynArray(6, 9));
  view.Init(3, 2, liZero);
  view.Fill(1);
  EXPECT_EQ(array, TWordDynArray(6, 9));  // the viewed array is left alone
  EXPECT_EQ(view.Values(), TWordDynArray(6, 1));

  // An array resized behind the view's back is refused, not read past its end.
  view.Attach(array, 3, 2);
  array.resize(2);
  EXPECT_THROW(view.Fill(0), ELatticeError);
}

TEST(LatticeTest, PairwiseOperationsNeedSameSize) {
  TLattice a = Numbered(3, 2);
  TLattice b;
  b.Init(2, 3, liZero);
  EXPECT_EQ(MessageOf<ELatticeError>([&] { a.MinWith(b); }),
            "Lattices have different dimensions:  3x2 vs  2x3.");
  EXPECT_THROW(a.MaxWith(b), ELatticeError);
  EXPECT_THROW(a.CheckSameSize(b), EMathError);

  b.Init(3, 2, liZero);
  b.Data = {5, 5, 5, 5, 5, 5};
  TLattice lo = a, hi = a;
  lo.MinWith(b);
  hi.MaxWith(b);
  EXPECT_EQ(lo.Values(), (TWordDynArray{1, 2, 3, 5, 5, 5}));
  EXPECT_EQ(hi.Values(), (TWordDynArray{5, 5, 5, 11, 12, 13}));
}

// Reference: dest(x + dx, y + dy) := src(x, y) where inside, else value (or unchanged).
TWordDynArray ShiftedReference(const TLattice& dest, const TLattice& src, int dx, int dy,
                               const uint16_t* fill) {
  TWordDynArray out = dest.Values();
  for (int32_t y = 0; y < dest.Height; ++y)
    for (int32_t x = 0; x < dest.Width; ++x) {
      const int64_t sx = int64_t{x} - dx, sy = int64_t{y} - dy;
      const size_t i = size_t(y * dest.Width + x);
      if (sx >= 0 && sy >= 0 && sx < src.Width && sy < src.Height)
        out[i] = src.Values()[size_t(sy * src.Width + sx)];
      else if (fill)
        out[i] = *fill;
    }
  return out;
}

TEST(LatticeTest, CopyShiftedMatchesReference) {
  struct Case {
    int srcW, srcH, destW, destH, dx, dy;
  };
  const uint16_t fill = 777;
  for (const Case& c : {Case{5, 4, 5, 4, 0, 0}, Case{5, 4, 5, 4, 2, 1}, Case{5, 4, 5, 4, -3, -1},
                        Case{5, 4, 5, 4, 1, -2}, Case{5, 4, 5, 4, 9, 0}, Case{5, 4, 5, 4, 0, -4},
                        Case{3, 2, 6, 5, 2, 2}, Case{6, 5, 3, 2, -1, -1}, Case{1, 1, 4, 4, 3, 3},
                        Case{5, 4, 5, 4, 2147483647, -2147483647 - 1}}) {
    const TLattice src = Numbered(c.srcW, c.srcH);
    TLattice dest;
    dest.Init(c.destW, c.destH, liMaxFill);
    const TWordDynArray keep = ShiftedReference(dest, src, c.dx, c.dy, nullptr);
    const TWordDynArray filled = ShiftedReference(dest, src, c.dx, c.dy, &fill);
    TLattice a = dest, b = dest;
    a.CopyShifted(src, c.dx, c.dy);
    b.CopyShiftedFill(src, c.dx, c.dy, fill);
    EXPECT_EQ(a.Values(), keep) << c.dx << "," << c.dy;
    EXPECT_EQ(b.Values(), filled) << c.dx << "," << c.dy;
  }
}

TEST(LatticeTest, CopyShiftedWithinOneLattice) {
  for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, 0}, {2, -1}, {0, 1}}) {
    TLattice l = Numbered(4, 3);
    const TLattice before = l;
    const uint16_t fill = 0;
    l.CopyShiftedFill(l, dx, dy, fill);
    EXPECT_EQ(l.Values(), ShiftedReference(before, before, dx, dy, &fill)) << dx << "," << dy;
  }
  TLattice l = Numbered(3, 2);
  l.CopyFrom(l);
  EXPECT_EQ(l.Values(), Numbered(3, 2).Values());
}

TEST(LatticeTest, FillRectAndOutsideClip) {
  TLattice l;
  l.Init(4, 3, liZero);
  l.FillRect({-2, 1, 2, 10}, 5);
  EXPECT_EQ(l.Values(), (TWordDynArray{0, 0, 0, 0, 5, 5, 0, 0, 5, 5, 0, 0}));
  l.FillOutside({1, 0, 3, 2}, 9);
  EXPECT_EQ(l.Values(), (TWordDynArray{9, 0, 0, 9, 9, 5, 0, 9, 9, 9, 9, 9}));
  l.FillOutside({10, 10, 20, 20}, 1);  // nothing of the rectangle inside: all outside
  EXPECT_EQ(l.Values(), TWordDynArray(12, 1));
  l.FillRect({3, 2, 1, 0}, 4);  // reversed rectangle is empty
  EXPECT_EQ(l.Values(), TWordDynArray(12, 1));
}

TEST(Queue2DTest, FifoWithWrapAroundAndLimits) {
  TQueue2DObj q;
  EXPECT_EQ(MessageOf<Exception>([&] { q.Pop(); }), "Queue is empty.");
  // Walk the head round the ring once so that pushes wrap.
  for (int i = 0; i < TQueue2DObj::kCapacity - 2; ++i) {
    q.Push(i, -i);
    q.Pop();
  }
  for (int i = 0; i < 5; ++i) q.Push(40000 + i, i);  // beyond 16-bit coordinates
  EXPECT_EQ(q.Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(q.Pop(), (TPoint{40000 + i, i}));
  for (int i = 0; i < TQueue2DObj::kCapacity; ++i) q.Push(i, i);
  EXPECT_EQ(MessageOf<Exception>([&] { q.Push(1, 1); }), "Queue is full.");
  EXPECT_EQ(q.Pop(), (TPoint{0, 0}));
  q.Clear();
  EXPECT_EQ(q.Count(), 0);
}

}  // namespace
}  // namespace orbelin
