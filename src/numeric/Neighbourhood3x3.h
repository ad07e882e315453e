#pragma once
// Single-pass minimum or maximum over the 3×3 square or the one-pixel cross
// around every pixel: the fast route of Erode and Dilate for the two elements
// the analysis uses. Samples outside the image count as `outside`.
#include <cstdint>

namespace orbelin::detail {

enum class TNeighbourhood { Square, Cross };
enum class TExtremum { Min, Max };

struct TNeighbourhoodJob {
  uint16_t* dest;        // w × h, must not overlap src
  const uint16_t* src;   // w × h
  int32_t width;
  int32_t height;
  TNeighbourhood shape;
  TExtremum extremum;
  uint16_t outside;
  uint16_t* rowBuffer;         // width elements of scratch
  const uint16_t* outsideRow;  // width elements, all equal to outside
};

// Picks the widest vector path the processor level allows.
void Neighbourhood3x3(const TNeighbourhoodJob& job);

// The individual paths; all give identical results. The vector ones exist on
// x86-64 only, the AVX2 one runs only on processors that have it.
void Neighbourhood3x3Scalar(const TNeighbourhoodJob& job);
void Neighbourhood3x3Sse2(const TNeighbourhoodJob& job);
void Neighbourhood3x3Avx2(const TNeighbourhoodJob& job);

}  // namespace orbelin::detail
