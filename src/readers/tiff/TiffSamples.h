#pragma once
// Turning the raw samples of one TIFF plane into unsigned 16-bit samples.
#include <cstddef>
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// SampleFormat values.
enum : uint32_t { sfUnsigned = 1, sfSigned = 2, sfFloat = 3 };

struct TSampleLayout {
  unsigned bytesPerSample = 2;  // 1, 2 or 4
  uint32_t sampleFormat = sfUnsigned;
  bool bigEndian = false;
};

// The plane holds n samples of 16 bits read straight from the file: swap them for a
// big-endian file and move signed ones to the unsigned range (order kept).
void FinishWordSamples(TWordDynArray& plane, const TSampleLayout& layout);

// Widens n bytes to n samples of the same value (signed bytes moved up by 128).
void WidenByteSamples(const uint8_t* bytes, size_t n, TWordDynArray& plane, const TSampleLayout& layout);

// Stretches n 32-bit samples (raw from the file, swapped here) to 16 bits from their
// minimum-maximum range; floats are stretched by value, not by bit pattern.
void StretchLongSamples(uint32_t* values, size_t n, TWordDynArray& plane, const TSampleLayout& layout);

}  // namespace orbelin
