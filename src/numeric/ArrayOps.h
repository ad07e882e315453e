#pragma once
// Element-wise operations on arrays of 8-, 16- and 32-bit integers. Every
// image-sized loop of the program goes through these. Each operation has a
// plain loop, which is the reference, and 128-bit and 256-bit vector paths;
// the path is picked from InstructionSetLevel() at every call (above 3: 128-bit,
// above 11: 256-bit) and all paths give exactly the same results.
//
// Operations taking two arrays "of the same length" raise EMathError with
// "Arrays have different sizes." and change nothing when the lengths differ.
// Nothing here allocates except to resize a destination.
#include <cstddef>
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// ---- fills ---------------------------------------------------------------

void FillWords(TWordDynArray& a, uint16_t v);
void FillBytes(TByteDynArray& a, uint8_t v);
void FillInts(TIntegers& a, int32_t v);
void FillInts(TCardinalDynArray& a, uint32_t v);
void FillWords(uint16_t* a, size_t n, uint16_t v);
void FillBytes(uint8_t* a, size_t n, uint8_t v);

// Fills rows of rowLength elements starting at start, skipping gap elements
// after each row (pitch = rowLength + gap).
void FillBlock(uint16_t* start, size_t rows, size_t rowLength, uint16_t v, size_t gap);
void FillBlock(uint8_t* start, size_t rows, size_t rowLength, uint8_t v, size_t gap);

// ---- copies --------------------------------------------------------------

// n elements; the ranges may overlap.
void CopyWords(uint16_t* dest, const uint16_t* src, size_t n);
// Row-pitched copy: rows of rowLength elements, skipping srcGap elements after
// each source row and destGap after each destination row.
void CopyBlock(uint16_t* dest, const uint16_t* src, size_t rows, size_t rowLength, size_t srcGap,
               size_t destGap);
void CopyBlock(uint8_t* dest, const uint8_t* src, size_t rows, size_t rowLength, size_t srcGap,
               size_t destGap);
// dest takes src's length and elements (no reallocation when the length fits).
void AssignCopy(TWordDynArray& dest, const TWordDynArray& src);

// ---- element-wise 16-bit -------------------------------------------------

// a[i] := min(a[i], b[i]); same length.
void MinInPlace(TWordDynArray& a, const TWordDynArray& b);
void MinInPlace(uint16_t* a, const uint16_t* b, size_t n);
// a[i] := max(a[i], b[i]); same length.
void MaxInPlace(TWordDynArray& a, const TWordDynArray& b);
void MaxInPlace(uint16_t* a, const uint16_t* b, size_t n);
// a[i] := 65535 when a[i] != 0, else 0.
void Normalize(TWordDynArray& a);
// dest takes src's length; dest[i] := 65535 when src[i] != 0, else 0.
void BoolOf(TWordDynArray& dest, const TWordDynArray& src);
// dest takes src's length; dest[i] := 65535 when src[i] > t, else 0.
void ThresholdAbove(TWordDynArray& dest, const TWordDynArray& src, uint16_t t);
// a[i] := a[i] - b[i], or 0 when b[i] > a[i]; same length.
void SubtractSat(TWordDynArray& a, const TWordDynArray& b);
// a[i] := b[i] - a[i], or 0 when a[i] > b[i]; same length.
void SubtractFromSat(TWordDynArray& a, const TWordDynArray& b);

// ---- queries -------------------------------------------------------------

// False when the lengths differ; true for two empty arrays.
bool Equal(const TWordDynArray& a, const TWordDynArray& b);
int64_t CountEqual(const TWordDynArray& a, uint16_t v);
// 0 for an empty array.
uint16_t MaxWord(const TWordDynArray& a);
// -2147483648 for an empty array.
int32_t MaxInt(const TIntegers& a);

// counts has 65536 bins; counts[samples[i]] += 1.
void AddToHistogram(uint32_t* counts, const uint16_t* samples, size_t n);

// Σ a[i] for i < n, in 64 bits; 0 for n <= 0.
uint64_t Sum(const uint32_t* a, int64_t n);
// Σ (start + i)·a[i] for i < n, in 64 bits; 0 for n <= 0.
uint64_t WeightedSum(const uint32_t* a, int64_t n, uint64_t start);
// First / last index below n whose element differs from v; -1 when none or n <= 0.
int64_t FirstNotEqual(const uint32_t* a, int64_t n, uint32_t v);
int64_t LastNotEqual(const uint32_t* a, int64_t n, uint32_t v);

// ---- width conversions ---------------------------------------------------

// dest[i] := src[i], written from the top down so that dest may start at the
// same address as src (a buffer widened in place).
void WidenBytes(const uint8_t* src, uint16_t* dest, size_t n);

// 32-bit samples to 16 bits; dest may be the same buffer as src.
//   1: the low 16 bits;  2: min(value, 65535);
//   3: value × 65535 / max, rounded half up (values unchanged when max < 256);
//   4: (value − min) × 65535 / (max − min), rounded half up (unchanged when
//      max < 256, as mode 3 when min = 0, all 65535 when min = max).
// Another mode raises EArgumentOutOfRange.
void NarrowTo16(const uint32_t* src, uint16_t* dest, size_t n, int mode);

}  // namespace orbelin
