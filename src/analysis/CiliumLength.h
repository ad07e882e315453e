#pragma once
// The length of a cilium: its object pixels thinned to a one-pixel skeleton,
// counted with diagonal steps weighted √2.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// objectImage is width pixels wide; its non-zero pixels form the cilium.
// n + (√2 − 1)·d for a skeleton of n pixels of which d have a set lower-right
// or, failing that, lower-left neighbour; 0 without object pixels.
double CiliumLength(const TWordDynArray& objectImage, int32_t width);

}  // namespace orbelin
