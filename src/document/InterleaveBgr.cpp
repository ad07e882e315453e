#include "document/InterleaveBgr.h"

#include "foundation/CpuLevel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define ORBELIN_INTERLEAVE_SSSE3 1
#endif

namespace orbelin {

namespace {

constexpr int kSsse3Level = 5;

#ifdef ORBELIN_INTERLEAVE_SSSE3
__attribute__((target("ssse3"))) inline __m128i Mix(__m128i blue, __m128i green, __m128i red, __m128i fromBlue,
                                                    __m128i fromGreen, __m128i fromRed) {
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(blue, fromBlue), _mm_shuffle_epi8(green, fromGreen)),
                      _mm_shuffle_epi8(red, fromRed));
}

// 16 pixels per step: each of the three output vectors gathers its bytes from
// the three component vectors by shuffles (-1 lanes give 0) and ors them.
__attribute__((target("ssse3"))) size_t InterleaveSsse3(const uint8_t* blue, const uint8_t* green,
                                                         const uint8_t* red, size_t width, uint8_t* out) {
  const __m128i b0 = _mm_setr_epi8(0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, 5);
  const __m128i g0 = _mm_setr_epi8(-1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1);
  const __m128i r0 = _mm_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1);
  const __m128i b1 = _mm_setr_epi8(-1, -1, 6, -1, -1, 7, -1, -1, 8, -1, -1, 9, -1, -1, 10, -1);
  const __m128i g1 = _mm_setr_epi8(5, -1, -1, 6, -1, -1, 7, -1, -1, 8, -1, -1, 9, -1, -1, 10);
  const __m128i r1 = _mm_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, 8, -1, -1, 9, -1, -1);
  const __m128i b2 = _mm_setr_epi8(-1, 11, -1, -1, 12, -1, -1, 13, -1, -1, 14, -1, -1, 15, -1, -1);
  const __m128i g2 = _mm_setr_epi8(-1, -1, 11, -1, -1, 12, -1, -1, 13, -1, -1, 14, -1, -1, 15, -1);
  const __m128i r2 = _mm_setr_epi8(10, -1, -1, 11, -1, -1, 12, -1, -1, 13, -1, -1, 14, -1, -1, 15);
  size_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue + x));
    const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(green + x));
    const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(red + x));
    uint8_t* target = out + 3 * x;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), Mix(vb, vg, vr, b0, g0, r0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16), Mix(vb, vg, vr, b1, g1, r1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 32), Mix(vb, vg, vr, b2, g2, r2));
  }
  return x;
}
#endif

}  // namespace

void InterleaveBgrPlain(const uint8_t* blue, const uint8_t* green, const uint8_t* red, size_t width, uint8_t* out) {
  for (size_t x = 0; x < width; ++x) {
    out[3 * x] = blue[x];
    out[3 * x + 1] = green[x];
    out[3 * x + 2] = red[x];
  }
}

void InterleaveBgr(const uint8_t* blue, const uint8_t* green, const uint8_t* red, size_t width, uint8_t* out) {
  size_t done = 0;
#ifdef ORBELIN_INTERLEAVE_SSSE3
  if (InstructionSetLevel() >= kSsse3Level) done = InterleaveSsse3(blue, green, red, width, out);
#endif
  InterleaveBgrPlain(blue + done, green + done, red + done, width - done, out + 3 * done);
}

}  // namespace orbelin
