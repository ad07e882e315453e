#pragma once
// Particle labelling: 4-connected flood fill of the non-zero pixels of an
// image into a 16-bit label image (0 = background, k = particle k − 1), the
// particle list with per-particle sums, and the filters that rewrite it.
#include <cstdint>
#include <vector>

#include "foundation/Types.h"

namespace orbelin {

struct TParticleObject {
  int32_t FirstX;        // first pixel in scan order that is not the pixel (0, 0)
  int32_t FirstY;
  int32_t Area;          // pixel count
  int32_t BorderPixels;  // pixels on the first/last row and column (see LabelParticles)
  int64_t SumX;
  int64_t SumY;
  uint64_t SumValue;     // Σ value of the labelled image
  int64_t SumValueX;     // Σ value × x
  int64_t SumValueY;     // Σ value × y
  friend bool operator==(const TParticleObject&, const TParticleObject&) = default;
};
static_assert(sizeof(TParticleObject) == 56);

using TParticleObjects = std::vector<TParticleObject>;

// Labels the non-zero pixels of values (width × height, height = length /
// width). Labels are 16-bit: an image of more than 65535 particles raises
// ELatticeError, as do a width ≤ 0 for a non-empty image and a length that is
// not a whole number of rows. labels must not be values.
//
// BorderPixels counts every pixel of the first and of the last row (twice in
// a one-row image) and the first and last pixel of every other row (twice in
// a one-column image).
void LabelParticles(TWordDynArray& labels, TParticleObjects& particles, const TWordDynArray& values,
                    int32_t width);

// Keeps the particles with max(minArea, 0) ≤ Area ≤ maxArea (maxArea −1: no
// upper limit) in their order, numbered from 1; the others become background.
// maxArea < minArea raises "Size range error.".
void FilterParticlesBySize(TWordDynArray& labels, TParticleObjects& particles, int32_t minArea,
                           int32_t maxArea);

// Renumbers the particles by area, largest first (equal areas keep their
// order), and keeps the n largest when n > 0.
void KeepLargestParticles(TWordDynArray& labels, TParticleObjects& particles, int32_t n);

// Every non-zero label k becomes map[k − 1] (0 removes the pixel). A label
// without a map entry raises ELatticeError.
void Relabel(TWordDynArray& labels, const TWordDynArray& map);

}  // namespace orbelin
