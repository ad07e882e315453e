#pragma once
// The MTOC marker of a cell: placed on the centrosome channel's
// intensity-weighted centre, it follows that centre on every analysis until
// the user drags it; a dragged marker stays where the user left it.
#include <cstdint>

namespace orbelin {

class TCellData;

// m is the centrosome channel; frameIsShown: the cell's frame is the one in the view.
void PlaceMtocMarker(TCellData& cell, int32_t m, bool frameIsShown);

}  // namespace orbelin
