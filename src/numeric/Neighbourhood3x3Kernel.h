#pragma once
// The row kernel behind every Neighbourhood3x3 path, written once over a
// vector traits class V (lane type T, N lanes, Load, Store, Min, Max).
// Included by one source file per instruction set; everything here has
// internal linkage so that no wider-instruction copy leaks into another path.
#include <cstddef>
#include <cstdint>

#include "numeric/Neighbourhood3x3.h"

namespace orbelin::detail {
namespace {

inline uint16_t ScalarOp(TExtremum e, uint16_t a, uint16_t b) {
  if (e == TExtremum::Min) return a < b ? a : b;
  return a > b ? a : b;
}

template <class V, TExtremum E>
inline typename V::T VectorOp(typename V::T a, typename V::T b) {
  if constexpr (E == TExtremum::Min) {
    return V::Min(a, b);
  } else {
    return V::Max(a, b);
  }
}

// The pixel at x of the square or cross, with full bounds checks (edges).
template <TExtremum E>
uint16_t EdgePixel(const uint16_t* r0, const uint16_t* r1, const uint16_t* r2, int32_t w, int32_t x,
                   TNeighbourhood shape, uint16_t outside) {
  uint16_t acc = ScalarOp(E, ScalarOp(E, r0[x], r1[x]), r2[x]);
  for (int32_t dx = -1; dx <= 1; dx += 2) {
    const int32_t u = x + dx;
    if (u < 0 || u >= w) {
      acc = ScalarOp(E, acc, outside);
    } else if (shape == TNeighbourhood::Square) {
      acc = ScalarOp(E, acc, ScalarOp(E, ScalarOp(E, r0[u], r1[u]), r2[u]));
    } else {
      acc = ScalarOp(E, acc, r1[u]);
    }
  }
  return acc;
}

template <class V, TExtremum E>
void SquareRow(uint16_t* out, const uint16_t* r0, const uint16_t* r1, const uint16_t* r2,
               uint16_t* column, int32_t w) {
  // Vertical extremum of the three rows, then horizontal extremum of three columns.
  int32_t i = 0;
  for (; i + V::N <= w; i += V::N)
    V::Store(column + i,
             VectorOp<V, E>(VectorOp<V, E>(V::Load(r0 + i), V::Load(r1 + i)), V::Load(r2 + i)));
  for (; i < w; ++i) column[i] = ScalarOp(E, ScalarOp(E, r0[i], r1[i]), r2[i]);
  int32_t x = 1;
  for (; x + V::N <= w - 1; x += V::N)
    V::Store(out + x, VectorOp<V, E>(VectorOp<V, E>(V::Load(column + x - 1), V::Load(column + x)),
                                     V::Load(column + x + 1)));
  for (; x < w - 1; ++x) out[x] = ScalarOp(E, ScalarOp(E, column[x - 1], column[x]), column[x + 1]);
}

template <class V, TExtremum E>
void CrossRow(uint16_t* out, const uint16_t* r0, const uint16_t* r1, const uint16_t* r2, int32_t w) {
  int32_t x = 1;
  for (; x + V::N <= w - 1; x += V::N) {
    const typename V::T vertical = VectorOp<V, E>(V::Load(r0 + x), V::Load(r2 + x));
    const typename V::T horizontal =
        VectorOp<V, E>(VectorOp<V, E>(V::Load(r1 + x - 1), V::Load(r1 + x)), V::Load(r1 + x + 1));
    V::Store(out + x, VectorOp<V, E>(vertical, horizontal));
  }
  for (; x < w - 1; ++x)
    out[x] = ScalarOp(E, ScalarOp(E, ScalarOp(E, r1[x - 1], r1[x]), r1[x + 1]),
                      ScalarOp(E, r0[x], r2[x]));
}

template <class V, TExtremum E>
void RunKernel(const TNeighbourhoodJob& job) {
  const int32_t w = job.width;
  const size_t pitch = size_t(w);
  for (int32_t y = 0; y < job.height; ++y) {
    const uint16_t* r1 = job.src + size_t(y) * pitch;
    const uint16_t* r0 = y > 0 ? r1 - pitch : job.outsideRow;
    const uint16_t* r2 = y + 1 < job.height ? r1 + pitch : job.outsideRow;
    uint16_t* out = job.dest + size_t(y) * pitch;
    if (job.shape == TNeighbourhood::Square)
      SquareRow<V, E>(out, r0, r1, r2, job.rowBuffer, w);
    else
      CrossRow<V, E>(out, r0, r1, r2, w);
    out[0] = EdgePixel<E>(r0, r1, r2, w, 0, job.shape, job.outside);
    if (w > 1) out[w - 1] = EdgePixel<E>(r0, r1, r2, w, w - 1, job.shape, job.outside);
  }
}

template <class V>
void RunNeighbourhood(const TNeighbourhoodJob& job) {
  if (job.width <= 0 || job.height <= 0) return;
  if (job.extremum == TExtremum::Min)
    RunKernel<V, TExtremum::Min>(job);
  else
    RunKernel<V, TExtremum::Max>(job);
}

}  // namespace
}  // namespace orbelin::detail
