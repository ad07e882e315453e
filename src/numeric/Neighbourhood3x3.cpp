#include "numeric/Neighbourhood3x3.h"

#ifdef ORBELIN_X86_VECTOR_PATHS
#include <emmintrin.h>
#endif

#include "foundation/CpuLevel.h"
#include "numeric/Neighbourhood3x3Kernel.h"

namespace orbelin::detail {

namespace {

struct TScalarLanes {
  using T = uint16_t;
  static constexpr int32_t N = 1;
  static T Load(const uint16_t* p) { return *p; }
  static void Store(uint16_t* p, T v) { *p = v; }
  static T Min(T a, T b) { return a < b ? a : b; }
  static T Max(T a, T b) { return a > b ? a : b; }
};

#ifdef ORBELIN_X86_VECTOR_PATHS
// SSE2 has no unsigned 16-bit min/max; saturating subtraction gives both.
struct TSse2Lanes {
  using T = __m128i;
  static constexpr int32_t N = 8;
  static T Load(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(uint16_t* p, T v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static T Min(T a, T b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
  static T Max(T a, T b) { return _mm_add_epi16(b, _mm_subs_epu16(a, b)); }
};
#endif

[[maybe_unused]] constexpr int kLevelSse2 = 4;
[[maybe_unused]] constexpr int kLevelAvx2 = 12;  // AVX2 itself; level 11 is FMA, which does not imply it

}  // namespace

void Neighbourhood3x3Scalar(const TNeighbourhoodJob& job) {
  RunNeighbourhood<TScalarLanes>(job);
}

#ifdef ORBELIN_X86_VECTOR_PATHS
void Neighbourhood3x3Sse2(const TNeighbourhoodJob& job) {
  RunNeighbourhood<TSse2Lanes>(job);
}
#endif

void Neighbourhood3x3(const TNeighbourhoodJob& job) {
#ifdef ORBELIN_X86_VECTOR_PATHS
  const int level = InstructionSetLevel();
  if (level >= kLevelAvx2) return Neighbourhood3x3Avx2(job);
  if (level >= kLevelSse2) return Neighbourhood3x3Sse2(job);
#endif
  Neighbourhood3x3Scalar(job);
}

}  // namespace orbelin::detail
