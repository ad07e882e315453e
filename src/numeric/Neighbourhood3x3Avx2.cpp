// Compiled with AVX2 enabled; called only when the processor has it.
#include <immintrin.h>

#include "numeric/Neighbourhood3x3.h"
#include "numeric/Neighbourhood3x3Kernel.h"

namespace orbelin::detail {

namespace {

struct TAvx2Lanes {
  using T = __m256i;
  static constexpr int32_t N = 16;
  static T Load(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(uint16_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static T Min(T a, T b) { return _mm256_min_epu16(a, b); }
  static T Max(T a, T b) { return _mm256_max_epu16(a, b); }
};

}  // namespace

void Neighbourhood3x3Avx2(const TNeighbourhoodJob& job) {
  RunNeighbourhood<TAvx2Lanes>(job);
}

}  // namespace orbelin::detail
