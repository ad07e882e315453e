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

// A display range as the composite maps it without a table: 0 at or below
// low, min(v - low, span) × 255 / span above it. span is high - low, or 1 when
// high is not above low; this is the table FillRangeLut builds.
struct TRangeMapping {
  uint16_t Low = 0;
  uint16_t Span = 1;
};
TRangeMapping RangeMappingOf(uint16_t low, uint16_t high);

// mapped[x] = the range's byte for plane[x]. Divides in single precision from
// the AVX2 level on, which is exact for every sample and span (checked over
// all of them); below it the plain loop, slower than a table.
void MapRangeSamples(const uint16_t* plane, TRangeMapping range, size_t n, uint8_t* mapped);
void MapRangeSamplesPlain(const uint16_t* plane, TRangeMapping range, size_t n, uint8_t* mapped);

// True when MapRangeSamples runs its vector path and so beats a table.
bool RangeMappingIsVectorised();

}  // namespace orbelin
