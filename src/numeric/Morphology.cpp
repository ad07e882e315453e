#include "numeric/Morphology.h"

#include <algorithm>

#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"
#include "numeric/Neighbourhood3x3.h"

namespace orbelin {

namespace {

void CheckDistinct(const TLattice& dest, const TLattice& src) {
  if (&dest == &src)
    RaiseError<ELatticeError>("A morphology result cannot be written over its source.");
}

// Bit (dy + 1) * 3 + (dx + 1) for every offset of the element, or 0 when an
// offset lies outside the 3×3 square.
unsigned Mask3x3(const TStructureElement& element) {
  unsigned mask = 0;
  for (const TPoint& p : element.Points) {
    if (p.x < -1 || p.x > 1 || p.y < -1 || p.y > 1) return 0;
    mask |= 1u << ((p.y + 1) * 3 + (p.x + 1));
  }
  return mask;
}

constexpr unsigned kSquareMask = 0x1FF;
constexpr unsigned kCrossMask = (1u << 1) | (1u << 3) | (1u << 4) | (1u << 5) | (1u << 7);

// Runs the single-pass route when the element is the 3×3 square or cross
// (duplicates do not change a minimum or maximum); false otherwise.
bool TryNeighbourhood3x3(TLattice& dest, const TLattice& src, const TStructureElement& element,
                         detail::TExtremum extremum, uint16_t outside) {
  const unsigned mask = Mask3x3(element);
  if (mask != kSquareMask && mask != kCrossMask) return false;
  dest.InitLike(src, liNoFill);
  if (src.Count == 0) return true;
  TWordDynArray rowBuffer(size_t(src.Width));
  const TWordDynArray outsideRow(size_t(src.Width), outside);
  detail::Neighbourhood3x3({dest.Pixels(), src.Pixels(), src.Width, src.Height,
                            mask == kSquareMask ? detail::TNeighbourhood::Square
                                                : detail::TNeighbourhood::Cross,
                            extremum, outside, rowBuffer.data(), outsideRow.data()});
  return true;
}

// The rectangle of dest pixels q whose sample q + (dx, dy) lies inside src
// (same size); empty when none does.
TRect SampledRect(const TLattice& lattice, int32_t dx, int32_t dy) {
  const int64_t left = std::max<int64_t>(0, -int64_t{dx});
  const int64_t top = std::max<int64_t>(0, -int64_t{dy});
  const int64_t right = std::min<int64_t>(lattice.Width, int64_t{lattice.Width} - dx);
  const int64_t bottom = std::min<int64_t>(lattice.Height, int64_t{lattice.Height} - dy);
  if (right <= left || bottom <= top) return {};
  return {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
}

// dest(q) := op(dest(q), src(q + (dx, dy))) over the rectangle where the
// sample lies inside src; returns that rectangle.
using TRowOp = void (*)(uint16_t*, const uint16_t*, size_t);

TRect CombineShifted(TLattice& dest, const TLattice& src, int32_t dx, int32_t dy, TRowOp op) {
  const TRect r = SampledRect(src, dx, dy);
  const size_t width = size_t(src.Width);
  uint16_t* d = dest.Pixels();
  const uint16_t* s = src.Pixels();
  const size_t count = size_t(r.Width());
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint16_t* row = d + size_t(y) * width + size_t(r.left);
    const uint16_t* from = s + size_t(y + dy) * width + size_t(r.left + dx);
    op(row, from, count);
  }
  return r;
}

constexpr TRowOp kMin = static_cast<TRowOp>(&MinInPlace);
constexpr TRowOp kMax = static_cast<TRowOp>(&MaxInPlace);

}  // namespace

void DilateByShifts(TLattice& dest, const TLattice& src, const TStructureElement& element) {
  CheckDistinct(dest, src);
  dest.InitLike(src, liZero);
  if (src.Count == 0 || element.Points.empty()) return;
  const TPoint first = element.Points[0];
  dest.CopyShifted(src, first.x, first.y);
  // dest(q) = max over s of src(q − s); samples outside are 0 and change nothing.
  for (size_t i = 1; i < element.Points.size(); ++i)
    CombineShifted(dest, src, -element.Points[i].x, -element.Points[i].y, kMax);
}

void ErodeByShifts(TLattice& dest, const TLattice& src, const TStructureElement& element,
                   bool borderMax) {
  CheckDistinct(dest, src);
  dest.InitLike(src, liNoFill);
  if (src.Count == 0) return;
  TPoint c = NearestToOrigin(element);
  if (c != TPoint{0, 0} && borderMax) {
    // Without the origin, a pixel whose samples all lie outside has no
    // minimum: it stays 0; the others start from 65535.
    dest.Fill(0);
    for (const TPoint& s : element.Points)
      dest.FillRect({-s.x, -s.y, -s.x + src.Width, -s.y + src.Height}, 65535);
    c = {0, 0};
  } else {
    dest.CopyShiftedFill(src, -c.x, -c.y, 0);
  }
  for (const TPoint& s : element.Points) {
    if (s == c) continue;
    const TRect sampled = CombineShifted(dest, src, s.x, s.y, kMin);
    if (!borderMax) dest.FillOutside(sampled, 0);  // outside samples count as 0
  }
}

void Dilate(TLattice& dest, const TLattice& src, const TStructureElement& element) {
  CheckDistinct(dest, src);
  // The square and the cross are symmetric, so max over q − s equals max over q + s.
  if (TryNeighbourhood3x3(dest, src, element, detail::TExtremum::Max, 0)) return;
  DilateByShifts(dest, src, element);
}

void Erode(TLattice& dest, const TLattice& src, const TStructureElement& element, bool borderMax) {
  CheckDistinct(dest, src);
  if (TryNeighbourhood3x3(dest, src, element, detail::TExtremum::Min, borderMax ? 65535 : 0)) return;
  ErodeByShifts(dest, src, element, borderMax);
}

}  // namespace orbelin
