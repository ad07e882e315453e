#pragma once
// Openings and closings of n steps whose structure elements alternate: the
// first step uses the 3×3 square, step i >= 2 the cross when i is even and the
// square when odd; the steps of the second kind run in the mirrored order and
// end with the square. Erosion treats outside pixels as 65535, dilation as 0.
// n <= 1 is one square step of each kind.
#include <cstdint>

#include "numeric/Lattice.h"

namespace orbelin {

// result and spare are work lattices; none of the three may be the same.
void AlternatingOpening(TLattice& result, const TLattice& image, int32_t n, TLattice& spare);
void AlternatingClosing(TLattice& result, const TLattice& image, int32_t n, TLattice& spare);

}  // namespace orbelin
