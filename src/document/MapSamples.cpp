#include "document/MapSamples.h"

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
#endif

}  // namespace

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
