#pragma once
// Flat structure elements for grey-level morphology: lists of pixel offsets
// (dx, dy) in the order they were generated. An element may or may not
// contain the origin.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

struct TStructureElement {
  TPoints Points;
};

// All offsets with −r ≤ dx, dy ≤ r, row by row (dy, then dx, ascending).
// r < 0 raises ELatticeError.
void MakeSquare(TStructureElement& element, int32_t r);
// The union of a horizontal and a vertical band, each 2a + 1 pixels thick,
// inside the (2r + 1)² square; a is cut to r (a = r gives the square, a = 0
// a one-pixel cross). r < 0 or a < 0 raises ELatticeError.
void MakeBandedCross(TStructureElement& element, int32_t r, int32_t a);

int32_t PointCount(const TStructureElement& element);
TPoint PointAt(const TStructureElement& element, int32_t i);
int32_t PointX(const TStructureElement& element, int32_t i);
int32_t PointY(const TStructureElement& element, int32_t i);
// The point with the smallest dx² + dy², the first on ties; (0, 0) when empty.
TPoint NearestToOrigin(const TStructureElement& element);

// The 3×3 square and the one-pixel cross of radius 1, built once for the whole run.
extern const TStructureElement SquareElement;
extern const TStructureElement CrossElement;

}  // namespace orbelin
