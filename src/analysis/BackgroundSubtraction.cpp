#include "analysis/BackgroundSubtraction.h"

#include <algorithm>
#include <utility>

#include "analysis/AlternatingMorphology.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"

namespace orbelin {

namespace {

void CheckPlane(const TWordDynArray& plane, int32_t width, int32_t height) {
  if (width < 0 || height < 0 ||
      plane.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    RaiseError<EMathError>("Arrays have different sizes.");
}

// Each pixel of the half-size image is the minimum of its 2×2 block (the
// blocks of an odd last column or row are clipped).
void HalveByMinimum(TWordDynArray& half, const TWordDynArray& image, int32_t w, int32_t h) {
  const int32_t hw = (w + 1) / 2, hh = (h + 1) / 2;
  half.resize(static_cast<size_t>(hw) * static_cast<size_t>(hh));
  for (int32_t y = 0; y < hh; ++y) {
    const uint16_t* r0 = image.data() + static_cast<size_t>(2 * y) * static_cast<size_t>(w);
    const uint16_t* r1 = 2 * y + 1 < h ? r0 + w : r0;
    uint16_t* out = half.data() + static_cast<size_t>(y) * static_cast<size_t>(hw);
    const int32_t pairs = w / 2;
    for (int32_t x = 0; x < pairs; ++x)
      out[x] = std::min(std::min(r0[2 * x], r0[2 * x + 1]), std::min(r1[2 * x], r1[2 * x + 1]));
    if (pairs < hw) out[pairs] = std::min(r0[w - 1], r1[w - 1]);
  }
}

// Every half-size pixel fills its 2×2 block of the w × h image, clipped at an
// odd right column and bottom row.
void EnlargeByReplication(TWordDynArray& image, const TWordDynArray& half, int32_t w, int32_t h) {
  const int32_t hw = (w + 1) / 2;
  image.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    const uint16_t* in = half.data() + static_cast<size_t>(y / 2) * static_cast<size_t>(hw);
    uint16_t* out = image.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int32_t x = 0; x < w; ++x) out[x] = in[x / 2];
  }
}

void Open(TWordDynArray& image, int32_t w, int32_t h, int32_t r) {
  TLattice source, result, spare;
  source.Attach(image, w, h);
  AlternatingOpening(result, source, r, spare);
  image.swap(result.Data);
}

// image is w × h; it is replaced by its background estimate.
void Pyramid(TWordDynArray& image, int32_t w, int32_t h, int32_t r) {
  const int32_t hw = (w + 1) / 2, hh = (h + 1) / 2;
  TWordDynArray half;
  HalveByMinimum(half, image, w, h);
  // The radius drops by one per halving, not by half.
  if (hw > kPyramidSide && hh > kPyramidSide)
    Pyramid(half, hw, hh, r - 1);
  else
    Open(half, hw, hh, r - 1);
  EnlargeByReplication(image, half, w, h);
}

}  // namespace

void EstimateBackground(TWordDynArray& background, const TWordDynArray& plane, int32_t width,
                        int32_t height, int32_t r) {
  CheckPlane(plane, width, height);
  AssignCopy(background, plane);
  if (plane.empty()) return;
  if (width <= kPyramidSide && height <= kPyramidSide)
    Open(background, width, height, r);
  else
    Pyramid(background, width, height, r);
}

void SubtractBackground(TWordDynArray& plane, int32_t width, int32_t height, int32_t r) {
  TWordDynArray background;
  EstimateBackground(background, plane, width, height, r);
  SubtractSat(plane, background);
}

}  // namespace orbelin
