#pragma once
// The 3×3 box mean that smooths a plane before background subtraction.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// dest(x, y) := the sum of the existing pixels of the 3×3 neighbourhood of
// src(x, y) divided by their count, truncated: 9 inside, 6 on an edge, 4 at a
// corner (and 3, 2 or 1 in planes one pixel wide or high). dest takes the
// plane's size and must not be src. src.size() ≠ width × height raises EMathError.
void Mean3x3(TWordDynArray& dest, const TWordDynArray& src, int32_t width, int32_t height);

}  // namespace orbelin
