#pragma once
// Background subtraction by a morphological top-hat: the background is a
// grey-level opening (AlternatingOpening) of the plane, subtracted with
// saturation at 0. Planes with a side above 800 pixels are opened on a
// pyramid of halved copies so that no opening runs on an image whose both
// sides exceed 800 pixels.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

inline constexpr int32_t kPyramidSide = 800;

// The background estimate of a width × height plane for radius r.
void EstimateBackground(TWordDynArray& background, const TWordDynArray& plane, int32_t width,
                        int32_t height, int32_t r);

// plane := plane − background, saturating at 0.
void SubtractBackground(TWordDynArray& plane, int32_t width, int32_t height, int32_t r);

}  // namespace orbelin
