#include "numeric/Lattice.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/Exceptions.h"

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
  const size_t bytes = size_t(xs.count) * sizeof(uint16_t);
  auto copyRow = [&](int32_t r) {
    std::memmove(dest + size_t(ys.dest + r) * size_t(destWidth) + size_t(xs.dest),
                 src + size_t(ys.src + r) * size_t(srcWidth) + size_t(xs.src), bytes);
  };
  if (xs.count == destWidth && destWidth == srcWidth && dest != src) {
    // Whole rows of equal width: one block.
    std::memcpy(dest + size_t(ys.dest) * size_t(destWidth), src + size_t(ys.src) * size_t(srcWidth),
                bytes * size_t(ys.count));
  } else if (dest == src && ys.dest > ys.src) {
    for (int32_t r = ys.count - 1; r >= 0; --r) copyRow(r);  // shifting down in place
  } else {
    for (int32_t r = 0; r < ys.count; ++r) copyRow(r);
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
  if (r.left == 0 && r.right == width) {
    std::fill_n(pixels + size_t(r.top) * size_t(width), size_t(width) * size_t(r.Height()), value);
    return;
  }
  for (int32_t y = r.top; y < r.bottom; ++y)
    std::fill_n(pixels + size_t(y) * size_t(width) + size_t(r.left), size_t(r.Width()), value);
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
    std::fill(Data.begin(), Data.end(), uint16_t{0});
  else if (mode == liMaxFill)
    std::fill(Data.begin(), Data.end(), uint16_t{65535});
}

void TLattice::InitLike(const TLattice& other, TLatticeInit mode) {
  if (mode == liCopy) {
    if (&other == this) return;  // already a copy of itself
    Init(other.Width, other.Height, liNoFill);
    const TWordDynArray& values = other.Values();
    std::copy(values.begin(), values.end(), Data.begin());
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
  uint16_t* a = Pixels();
  const uint16_t* b = other.Pixels();
  for (int32_t i = 0; i < Count; ++i) a[i] = std::min(a[i], b[i]);
}

void TLattice::MaxWith(const TLattice& other) {
  CheckSameSize(other);
  uint16_t* a = Pixels();
  const uint16_t* b = other.Pixels();
  for (int32_t i = 0; i < Count; ++i) a[i] = std::max(a[i], b[i]);
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
  TWordDynArray& values = Values();
  std::fill(values.begin(), values.end(), value);
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
