#pragma once
// Grey-level erosion and dilation of lattices by flat structure elements.
// The same operations serve binary images (0 and 65535) and intensities;
// openings and closings are composed by the callers.
#include "numeric/Lattice.h"
#include "numeric/StructureElement.h"

namespace orbelin {

// dest(q) := max over s in the element of src(q − s); samples outside src
// count as 0. An empty element gives an all-zero result. dest takes src's
// size and must not be src (ELatticeError).
void Dilate(TLattice& dest, const TLattice& src, const TStructureElement& element);

// dest(q) := min over s in the element of src(q + s); samples outside src
// count as 65535 when borderMax, else 0. An empty element copies src. dest
// takes src's size and must not be src (ELatticeError).
void Erode(TLattice& dest, const TLattice& src, const TStructureElement& element, bool borderMax);

// The element-by-element definitions above, always by shifted copies; the
// public operations take a single-pass route for the 3×3 square and cross.
// Kept callable so that tests hold the two routes equal.
void DilateByShifts(TLattice& dest, const TLattice& src, const TStructureElement& element);
void ErodeByShifts(TLattice& dest, const TLattice& src, const TStructureElement& element,
                   bool borderMax);

}  // namespace orbelin
