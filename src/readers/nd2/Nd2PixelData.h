#pragma once
// The pixels of one ND2 sequence step: all components of a pixel together,
// delivered with packed rows whatever the stored row stride.
#include <cstdint>
#include <vector>

#include "foundation/Types.h"

#include "readers/nd2/Nd2Header.h"

namespace orbelin {

class TStream;

// Fills data with the step's pixels: PackedRowBytes() × Height bytes, stored
// rows stripped of their padding, lossless frames inflated. Missing stored
// bytes stay zero. Returns false when the step has no chunk or its data cannot
// be read or inflated.
bool ReadNd2SequenceData(TStream& stream, const TNd2Header& header, int64_t sequence, std::vector<uint8_t>& data);

// True when ReadNd2Component can serve the header's frames: uncompressed 8- or 16-bit steps.
bool CanReadNd2Component(const TNd2Header& header);

// Component `component` of a step, widened to 16 bits, read straight from the
// stored rows into plane (Width × Height samples): the same samples as
// ReadNd2SequenceData followed by taking the component, without holding the
// whole interleaved frame. Missing stored bytes read as zero. Returns false
// when the step has no chunk or its data cannot be read; plane is then unspecified.
bool ReadNd2Component(TStream& stream, const TNd2Header& header, int64_t sequence, int component, TWordDynArray& plane);

}  // namespace orbelin
