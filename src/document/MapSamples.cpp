#include "document/MapSamples.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "foundation/CpuLevel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORBELIN_MAP_AVX2 1
#endif

namespace orbelin {

namespace {

constexpr int kAvx2Level = 11;

#ifdef ORBELIN_MAP_AVX2
// 16 samples per step: two eight-lane gathers of four table bytes each, the
// low byte kept and both halves packed down to bytes in sample order.
__attribute__((target("avx2"))) size_t MapSamplesAvx2(const uint16_t* plane, const uint8_t* table, size_t n,
                                                       uint8_t* mapped) {
  const __m256i lowByte = _mm256_set1_epi32(0xFF);
  const int* base = reinterpret_cast<const int*>(table);
  size_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m256i samples = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plane + x));
    const __m256i first = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(samples));
    const __m256i second = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(samples, 1));
    const __m256i a = _mm256_and_si256(_mm256_i32gather_epi32(base, first, 1), lowByte);
    const __m256i b = _mm256_and_si256(_mm256_i32gather_epi32(base, second, 1), lowByte);
    // Packing works per 128-bit lane: a0-3 b0-3 | a4-7 b4-7, put back in order.
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mapped + x), bytes);
  }
  return x;
}

__attribute__((target("avx2"))) inline __m256i RangeQuotient(__m128i distance, __m256i scale, __m256 divisor) {
  const __m256i scaled = _mm256_mullo_epi32(_mm256_cvtepu16_epi32(distance), scale);
  return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(scaled), divisor));
}

// 16 samples per step: the clamped distance above low times 255, divided by
// the span in single precision and truncated; every quotient is below 2^24
// and never rounds up to the next integer, so it equals the integer division.
__attribute__((target("avx2"))) size_t MapRangeSamplesAvx2(const uint16_t* plane, TRangeMapping range, size_t n,
                                                            uint8_t* mapped) {
  const __m256i low = _mm256_set1_epi16(static_cast<short>(range.Low));
  const __m256i span = _mm256_set1_epi16(static_cast<short>(range.Span));
  const __m256i scale = _mm256_set1_epi32(255);
  const __m256 divisor = _mm256_set1_ps(static_cast<float>(range.Span));
  size_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m256i samples = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plane + x));
    const __m256i distance = _mm256_min_epu16(_mm256_subs_epu16(samples, low), span);
    const __m256i a = RangeQuotient(_mm256_castsi256_si128(distance), scale, divisor);
    const __m256i b = RangeQuotient(_mm256_extracti128_si256(distance, 1), scale, divisor);
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mapped + x), bytes);
  }
  return x;
}
#endif

}  // namespace

TRangeMapping RangeMappingOf(uint16_t low, uint16_t high) {
  return {low, static_cast<uint16_t>(high > low ? high - low : 1)};
}

void MapRangeSamplesPlain(const uint16_t* plane, TRangeMapping range, size_t n, uint8_t* mapped) {
  const uint32_t span = range.Span;
  for (size_t x = 0; x < n; ++x) {
    const uint32_t v = plane[x];
    const uint32_t distance = v > range.Low ? std::min(v - range.Low, span) : 0;
    mapped[x] = static_cast<uint8_t>(distance * 255 / span);
  }
}

void MapRangeSamples(const uint16_t* plane, TRangeMapping range, size_t n, uint8_t* mapped) {
  size_t done = 0;
#ifdef ORBELIN_MAP_AVX2
  if (InstructionSetLevel() >= kAvx2Level) done = MapRangeSamplesAvx2(plane, range, n, mapped);
#endif
  MapRangeSamplesPlain(plane + done, range, n - done, mapped + done);
}

bool RangeMappingIsVectorised() {
#ifdef ORBELIN_MAP_AVX2
  return InstructionSetLevel() >= kAvx2Level;
#else
  return false;
#endif
}

void MapSamplesPlain(const uint16_t* __restrict plane, const uint8_t* __restrict table, size_t n,
                     uint8_t* __restrict mapped) {
  size_t x = 0;
  // Eight table reads gathered into one store: byte stores are the bottleneck here.
  if constexpr (std::endian::native == std::endian::little)
    for (; x + 8 <= n; x += 8) {
      uint64_t word = 0;
      for (unsigned k = 0; k < 8; ++k) word |= uint64_t{table[plane[x + k]]} << (8 * k);
      std::memcpy(mapped + x, &word, 8);
    }
  for (; x < n; ++x) mapped[x] = table[plane[x]];
}

void MapSamples(const uint16_t* plane, const uint8_t* table, size_t n, uint8_t* mapped) {
  size_t done = 0;
#ifdef ORBELIN_MAP_AVX2
  if (InstructionSetLevel() >= kAvx2Level) done = MapSamplesAvx2(plane, table, n, mapped);
#endif
  MapSamplesPlain(plane + done, table, n - done, mapped + done);
}

}  // namespace orbelin
