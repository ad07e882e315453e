#pragma once
// The mask of a cell over its box: the outline polygon filled with the
// even-odd rule, the one-pixel outline included.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// mask takes at least width × height bytes; of these, the first width ×
// height (row-major, row length width) become 1 for pixels of the polygon
// shifted by (dx, dy) and 0 elsewhere. Pixels of the polygon outside the
// width × height area are dropped; work stays proportional to the area and
// the point count, however far the polygon reaches.
void RasterizeCellMask(TByteDynArray& mask, int32_t width, int32_t height, const TPoints& polygon,
                       int32_t dx, int32_t dy);

}  // namespace orbelin
