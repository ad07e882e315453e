#pragma once
// 16-bit samples through a byte table, the first pass of the composite.
#include <cstddef>
#include <cstdint>

namespace orbelin {

// Bytes a table needs past its 65536 entries: the vector path reads four
// bytes at each sample's entry and keeps the first.
inline constexpr size_t kMapTablePadding = 3;

// mapped[x] = table[plane[x]]; table holds 65536 + kMapTablePadding bytes.
// Uses gathers from the AVX2 level on, the plain loop below it.
void MapSamples(const uint16_t* plane, const uint8_t* table, size_t n, uint8_t* mapped);

// The plain loop, the reference of the vector path; needs no padding.
void MapSamplesPlain(const uint16_t* plane, const uint8_t* table, size_t n, uint8_t* mapped);

}  // namespace orbelin
