#include "numeric/Lattice.h"

#include <algorithm>
#include <limits>

#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"

namespace orbelin {

namespace {

[[noreturn]] void RaiseInvalidSize(int32_t w, int32_t h) {
  RaiseErrorFmt<ELatticeError>("Invalid width/height: %dx%d.", w, h);
}

bool ValidSize(int32_t w, int32_t h) {
  return w >= 0 && h >= 0 && int64_t{w} * h <= std::numeric_limits<int32_t>::max();
}

// The part of a span [0, length) that a shift by d maps inside [0, destLength):
// source start, destination start and count.
struct TSpan {
  int32_t src = 0;
  int32_t dest = 0;
  int32_t count = 0;
};

TSpan ShiftedSpan(int32_t srcLength, int32_t destLength, int32_t d) {
  const int64_t first = std::max<int64_t>(0, -int64_t{d});
  const int64_t last = std::min<int64_t>(srcLength, int64_t{destLength} - d);  // exclusive
  if (last <= first) return {};
  return {static_cast<int32_t>(first), static_cast<int32_t>(first + d),
          static_cast<int32_t>(last - first)};
}

// Copies the shifted rows; the source may be the destination's own storage.
// Returns the destination rectangle that received values.
TRect CopyRows(uint16_t* dest, int32_t destWidth, int32_t destHeight, const uint16_t* src,
               int32_t srcWidth, int32_t srcHeight, int32_t dx, int32_t dy) {
  const TSpan xs = ShiftedSpan(srcWidth, destWidth, dx);
  const TSpan ys = ShiftedSpan(srcHeight, destHeight, dy);
  if (xs.count == 0 || ys.count == 0) return {};
  uint16_t* to = dest + size_t(ys.dest) * size_t(destWidth) + size_t(xs.dest);
  const uint16_t* from = src + size_t(ys.src) * size_t(srcWidth) + size_t(xs.src);
  if (dest != src) {
    CopyBlock(to, from, size_t(ys.count), size_t(xs.count), size_t(srcWidth - xs.count),
              size_t(destWidth - xs.count));
  } else if (ys.dest > ys.src) {
    // Shifting down within one lattice: bottom row first, so no source row is
    // overwritten before it is read.
    for (int32_t r = ys.count - 1; r >= 0; --r)
      CopyWords(to + size_t(r) * size_t(destWidth), from + size_t(r) * size_t(srcWidth), size_t(xs.count));
  } else {
    for (int32_t r = 0; r < ys.count; ++r)
      CopyWords(to + size_t(r) * size_t(destWidth), from + size_t(r) * size_t(srcWidth), size_t(xs.count));
  }
  return {xs.dest, ys.dest, xs.dest + xs.count, ys.dest + ys.count};
}

TRect Clipped(const TRect& rect, int32_t w, int32_t h) {
  TRect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, w),
          std::min(rect.bottom, h)};
  if (r.right <= r.left || r.bottom <= r.top) return {};
  return r;
}

void FillRows(uint16_t* pixels, int32_t width, const TRect& r, uint16_t value) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  FillBlock(pixels + size_t(r.top) * size_t(width) + size_t(r.left), size_t(r.Height()),
            size_t(r.Width()), value, size_t(width - r.Width()));
}

}  // namespace

void TLattice::Init(int32_t w, int32_t h, TLatticeInit mode) {
  View = nullptr;
  if (!ValidSize(w, h)) {
    Width = Height = Count = 0;
    Data.clear();
    RaiseInvalidSize(w, h);
  }
  Width = w;
  Height = h;
  Count = w * h;
  Data.resize(size_t(Count));
  if (mode == liZero)
    FillWords(Data, 0);
  else if (mode == liMaxFill)
    FillWords(Data, 65535);
}

void TLattice::InitLike(const TLattice& other, TLatticeInit mode) {
  if (mode == liCopy) {
    if (&other == this) return;  // already a copy of itself
    Init(other.Width, other.Height, liNoFill);
    const TWordDynArray& values = other.Values();
    CopyWords(Data.data(), values.data(), values.size());
    return;
  }
  Init(other.Width, other.Height, mode);
}

void TLattice::Attach(TWordDynArray& array, int32_t w, int32_t h) {
  if (!ValidSize(w, h) || array.size() != size_t(int64_t{w} * h)) RaiseInvalidSize(w, h);
  Width = w;
  Height = h;
  Count = w * h;
  Data.clear();
  Data.shrink_to_fit();
  View = &array;
}

TWordDynArray& TLattice::Values() {
  return const_cast<TWordDynArray&>(static_cast<const TLattice*>(this)->Values());
}

const TWordDynArray& TLattice::Values() const {
  if (!Data.empty() || View == nullptr) return Data;
  // The owner of a viewed array may have resized it since Attach.
  if (View->size() != size_t(Count)) RaiseInvalidSize(Width, Height);
  return *View;
}

void TLattice::CheckSameSize(const TLattice& other) const {
  if (Width != other.Width || Height != other.Height)
    RaiseErrorFmt<ELatticeError>("Lattices have different dimensions:  %dx%d vs  %dx%d.", Width,
                                 Height, other.Width, other.Height);
}

void TLattice::MinWith(const TLattice& other) {
  CheckSameSize(other);
  MinInPlace(Pixels(), other.Pixels(), size_t(Count));
}

void TLattice::MaxWith(const TLattice& other) {
  CheckSameSize(other);
  MaxInPlace(Pixels(), other.Pixels(), size_t(Count));
}

void TLattice::CopyShifted(const TLattice& src, int32_t dx, int32_t dy) {
  const uint16_t* from = src.Pixels();
  CopyRows(Pixels(), Width, Height, from, src.Width, src.Height, dx, dy);
}

void TLattice::CopyShiftedFill(const TLattice& src, int32_t dx, int32_t dy, uint16_t value) {
  const uint16_t* from = src.Pixels();
  // Fill after copying: the source may be this lattice's own storage.
  FillOutside(CopyRows(Pixels(), Width, Height, from, src.Width, src.Height, dx, dy), value);
}

void TLattice::Fill(uint16_t value) {
  FillWords(Values(), value);
}

void TLattice::FillRect(const TRect& rect, uint16_t value) {
  FillRows(Pixels(), Width, Clipped(rect, Width, Height), value);
}

void TLattice::FillOutside(const TRect& rect, uint16_t value) {
  const TRect r = Clipped(rect, Width, Height);
  uint16_t* pixels = Pixels();
  if (r.Width() == 0) {
    FillRows(pixels, Width, {0, 0, Width, Height}, value);
    return;
  }
  FillRows(pixels, Width, {0, 0, Width, r.top}, value);
  FillRows(pixels, Width, {0, r.top, r.left, r.bottom}, value);
  FillRows(pixels, Width, {r.right, r.top, Width, r.bottom}, value);
  FillRows(pixels, Width, {0, r.bottom, Width, Height}, value);
}

}  // namespace orbelin
