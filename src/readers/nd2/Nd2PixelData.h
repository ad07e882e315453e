#pragma once
// The pixels of one ND2 sequence step: all components of a pixel together,
// delivered with packed rows whatever the stored row stride.
#include <cstdint>
#include <vector>

#include "readers/nd2/Nd2Header.h"

namespace orbelin {

class TStream;

// Fills data with the step's pixels: PackedRowBytes() × Height bytes, stored
// rows stripped of their padding, lossless frames inflated. Missing stored
// bytes stay zero. Returns false when the step has no chunk or its data cannot
// be read or inflated.
bool ReadNd2SequenceData(TStream& stream, const TNd2Header& header, int64_t sequence, std::vector<uint8_t>& data);

}  // namespace orbelin
