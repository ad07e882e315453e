#include "analysis/AlternatingMorphology.h"

#include <utility>

#include "numeric/Morphology.h"
#include "numeric/StructureElement.h"

namespace orbelin {

namespace {

const TStructureElement& StepElement(int32_t i) { return i % 2 == 0 ? CrossElement : SquareElement; }

void Step(TLattice& dest, const TLattice& src, const TStructureElement& element, bool erode) {
  if (erode)
    Erode(dest, src, element, true);
  else
    Dilate(dest, src, element);
}

// The first kind of step is erosion for an opening, dilation for a closing.
void Alternating(TLattice& result, const TLattice& image, int32_t n, TLattice& spare, bool opening) {
  // Each step reads the latest result and writes the other lattice.
  TLattice* latest = &result;
  TLattice* other = &spare;
  Step(*latest, image, SquareElement, opening);
  for (int32_t i = 2; i <= n; ++i) {
    Step(*other, *latest, StepElement(i), opening);
    std::swap(latest, other);
  }
  for (int32_t i = n; i >= 2; --i) {
    Step(*other, *latest, StepElement(i), !opening);
    std::swap(latest, other);
  }
  Step(*other, *latest, SquareElement, !opening);
  if (other != &result) std::swap(result, *other);
}

}  // namespace

void AlternatingOpening(TLattice& result, const TLattice& image, int32_t n, TLattice& spare) {
  Alternating(result, image, n, spare, true);
}

void AlternatingClosing(TLattice& result, const TLattice& image, int32_t n, TLattice& spare) {
  Alternating(result, image, n, spare, false);
}

}  // namespace orbelin
