// 128-bit paths (SSE2: 8 words or 4 cardinals per vector). SSE2 has no
// unsigned 16-bit minimum or maximum and no unsigned 32-bit compare, so these
// are built from saturated subtraction and sign-flipped signed compares.
// Elements after the last full vector go through a scalar tail.
#include <emmintrin.h>

#include "numeric/ArrayKernels.h"

namespace orbelin::arraykernels {
namespace {

typedef uint16_t __attribute__((may_alias)) AliasedWord;
typedef uint32_t __attribute__((may_alias)) AliasedCardinal;
typedef uint8_t __attribute__((may_alias)) AliasedByte;

constexpr size_t kWords = 8;
constexpr size_t kCardinals = 4;
constexpr size_t kBytes = 16;

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
inline __m128i AllOnes() { return _mm_set1_epi32(-1); }

inline __m128i MinU16(__m128i a, __m128i b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
inline __m128i MaxU16(__m128i a, __m128i b) { return _mm_add_epi16(b, _mm_subs_epu16(a, b)); }
inline __m128i NonZeroMask16(__m128i a) {
  return _mm_xor_si128(_mm_cmpeq_epi16(a, _mm_setzero_si128()), AllOnes());
}
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}
// Packs two vectors of 32-bit values below 65536 into one of 16-bit values.
inline __m128i PackLow16(__m128i low, __m128i high) {
  low = _mm_srai_epi32(_mm_slli_epi32(low, 16), 16);
  high = _mm_srai_epi32(_mm_slli_epi32(high, 16), 16);
  return _mm_packs_epi32(low, high);
}

void FillWords(uint16_t* a, size_t n, uint16_t v) {
  const __m128i value = _mm_set1_epi16(static_cast<short>(v));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void FillBytes(uint8_t* a, size_t n, uint8_t v) {
  const __m128i value = _mm_set1_epi8(static_cast<char>(v));
  size_t i = 0;
  for (; i + kBytes <= n; i += kBytes) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void FillInts(uint32_t* a, size_t n, uint32_t v) {
  const __m128i value = _mm_set1_epi32(static_cast<int>(v));
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void MinWords(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, MinU16(Load(a + i), Load(b + i)));
  for (; i < n; ++i)
    if (b[i] < a[i]) a[i] = b[i];
}

void MaxWords(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, MaxU16(Load(a + i), Load(b + i)));
  for (; i < n; ++i)
    if (b[i] > a[i]) a[i] = b[i];
}

void BoolOf(uint16_t* dest, const uint16_t* src, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(dest + i, NonZeroMask16(Load(src + i)));
  for (; i < n; ++i) dest[i] = src[i] != 0 ? 65535 : 0;
}

void ThresholdAbove(uint16_t* dest, const uint16_t* src, size_t n, uint16_t t) {
  const __m128i threshold = _mm_set1_epi16(static_cast<short>(t));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords)
    Store(dest + i, NonZeroMask16(_mm_subs_epu16(Load(src + i), threshold)));
  for (; i < n; ++i) dest[i] = src[i] > t ? 65535 : 0;
}

void SubtractSat(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm_subs_epu16(Load(a + i), Load(b + i)));
  for (; i < n; ++i) a[i] = a[i] >= b[i] ? static_cast<uint16_t>(a[i] - b[i]) : 0;
}

void SubtractFromSat(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm_subs_epu16(Load(b + i), Load(a + i)));
  for (; i < n; ++i) a[i] = b[i] >= a[i] ? static_cast<uint16_t>(b[i] - a[i]) : 0;
}

bool EqualWords(const uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords)
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(Load(a + i), Load(b + i))) != 0xFFFF) return false;
  for (; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

uint64_t CountEqual(const uint16_t* a, size_t n, uint16_t v) {
  const __m128i value = _mm_set1_epi16(static_cast<short>(v));
  uint64_t count = 0;
  size_t i = 0;
  // 16-bit lane counters, emptied before they can wrap.
  while (i + kWords <= n) {
    __m128i lanes = _mm_setzero_si128();
    for (size_t round = 0; round < 65535 && i + kWords <= n; ++round, i += kWords)
      lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(Load(a + i), value));
    alignas(16) uint16_t parts[kWords];
    Store(parts, lanes);
    for (uint16_t part : parts) count += part;
  }
  for (; i < n; ++i) count += a[i] == v;
  return count;
}

uint16_t MaxWord(const uint16_t* a, size_t n) {
  uint16_t best = 0;
  size_t i = 0;
  if (n >= kWords) {
    __m128i lanes = _mm_setzero_si128();
    for (; i + kWords <= n; i += kWords) lanes = MaxU16(lanes, Load(a + i));
    alignas(16) uint16_t parts[kWords];
    Store(parts, lanes);
    for (uint16_t part : parts)
      if (part > best) best = part;
  }
  for (; i < n; ++i)
    if (a[i] > best) best = a[i];
  return best;
}

int32_t MaxInt(const int32_t* a, size_t n) {
  int32_t best = INT32_MIN;
  size_t i = 0;
  if (n >= kCardinals) {
    __m128i lanes = _mm_set1_epi32(INT32_MIN);
    for (; i + kCardinals <= n; i += kCardinals) {
      const __m128i x = Load(a + i);
      lanes = Select(_mm_cmpgt_epi32(x, lanes), x, lanes);
    }
    alignas(16) int32_t parts[kCardinals];
    Store(parts, lanes);
    for (int32_t part : parts)
      if (part > best) best = part;
  }
  for (; i < n; ++i)
    if (a[i] > best) best = a[i];
  return best;
}

inline uint64_t AddLanes64(__m128i v) {
  alignas(16) uint64_t parts[2];
  Store(parts, v);
  return parts[0] + parts[1];
}

uint64_t Sum(const uint32_t* a, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  __m128i total = zero;
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) {
    const __m128i x = Load(a + i);
    total = _mm_add_epi64(total, _mm_add_epi64(_mm_unpacklo_epi32(x, zero), _mm_unpackhi_epi32(x, zero)));
  }
  uint64_t sum = AddLanes64(total);
  for (; i < n; ++i) sum += a[i];
  return sum;
}

uint64_t WeightedSum(const uint32_t* a, size_t n, uint64_t start) {
  // The 32 × 32 → 64-bit multiply needs every weight below 2^32.
  if (n > (uint64_t{1} << 32) || start > (uint64_t{1} << 32) - n) return kPlainKernels.weightedSum(a, n, start);
  const __m128i zero = _mm_setzero_si128();
  __m128i weightLow = _mm_set_epi64x(static_cast<long long>(start + 1), static_cast<long long>(start));
  __m128i weightHigh = _mm_add_epi64(weightLow, _mm_set1_epi64x(2));
  const __m128i step = _mm_set1_epi64x(kCardinals);
  __m128i total = zero;
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) {
    const __m128i x = Load(a + i);
    total = _mm_add_epi64(total, _mm_mul_epu32(_mm_unpacklo_epi32(x, zero), weightLow));
    total = _mm_add_epi64(total, _mm_mul_epu32(_mm_unpackhi_epi32(x, zero), weightHigh));
    weightLow = _mm_add_epi64(weightLow, step);
    weightHigh = _mm_add_epi64(weightHigh, step);
  }
  uint64_t sum = AddLanes64(total);
  for (; i < n; ++i) sum += (start + i) * a[i];
  return sum;
}

int64_t FirstNotEqual(const uint32_t* a, size_t n, uint32_t v) {
  const __m128i value = _mm_set1_epi32(static_cast<int>(v));
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) {
    const unsigned differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi32(Load(a + i), value))) & 0xFFFFu;
    if (differ) return static_cast<int64_t>(i + __builtin_ctz(differ) / 4);
  }
  for (; i < n; ++i)
    if (a[i] != v) return static_cast<int64_t>(i);
  return -1;
}

int64_t LastNotEqual(const uint32_t* a, size_t n, uint32_t v) {
  const __m128i value = _mm_set1_epi32(static_cast<int>(v));
  const size_t blocks = n / kCardinals * kCardinals;
  for (size_t i = n; i-- > blocks;)
    if (a[i] != v) return static_cast<int64_t>(i);
  for (size_t i = blocks; i >= kCardinals;) {
    i -= kCardinals;
    const unsigned differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi32(Load(a + i), value))) & 0xFFFFu;
    if (differ) return static_cast<int64_t>(i + (31 - __builtin_clz(differ)) / 4);
  }
  return -1;
}

void WidenBytes(const uint8_t* src, uint16_t* dest, size_t n) {
  // From the top down: a block's stores land at or above its own source bytes.
  const AliasedByte* in = src;
  AliasedWord* out = dest;
  const size_t blocks = n / kBytes * kBytes;
  for (size_t i = n; i-- > blocks;) out[i] = in[i];
  const __m128i zero = _mm_setzero_si128();
  for (size_t i = blocks; i >= kBytes;) {
    i -= kBytes;
    const __m128i x = Load(src + i);
    Store(dest + i + kWords, _mm_unpackhi_epi8(x, zero));
    Store(dest + i, _mm_unpacklo_epi8(x, zero));
  }
}

void NarrowLow16(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m128i low = Load(src + i), high = Load(src + i + kCardinals);
    Store(dest + i, PackLow16(low, high));
  }
  for (; i < n; ++i) out[i] = static_cast<uint16_t>(in[i]);
}

inline __m128i Saturate16(__m128i x) {
  const __m128i fits = _mm_cmpeq_epi32(_mm_srli_epi32(x, 16), _mm_setzero_si128());
  return Select(fits, x, _mm_set1_epi32(65535));
}

void NarrowSaturate(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m128i low = Saturate16(Load(src + i)), high = Saturate16(Load(src + i + kCardinals));
    Store(dest + i, PackLow16(low, high));
  }
  for (; i < n; ++i) out[i] = in[i] > 65535u ? 65535 : static_cast<uint16_t>(in[i]);
}

void MinMax32(const uint32_t* src, size_t n, uint32_t& min, uint32_t& max) {
  const AliasedCardinal* in = src;
  uint32_t low = in[0], high = in[0];
  size_t i = 0;
  if (n >= kCardinals) {
    // Unsigned order is the signed order of the values with the top bit flipped.
    const __m128i flip = _mm_set1_epi32(INT32_MIN);
    __m128i lowLanes = _mm_xor_si128(_mm_set1_epi32(static_cast<int>(low)), flip);
    __m128i highLanes = lowLanes;
    for (; i + kCardinals <= n; i += kCardinals) {
      const __m128i x = _mm_xor_si128(Load(src + i), flip);
      lowLanes = Select(_mm_cmplt_epi32(x, lowLanes), x, lowLanes);
      highLanes = Select(_mm_cmpgt_epi32(x, highLanes), x, highLanes);
    }
    alignas(16) uint32_t lows[kCardinals], highs[kCardinals];
    Store(lows, _mm_xor_si128(lowLanes, flip));
    Store(highs, _mm_xor_si128(highLanes, flip));
    for (size_t lane = 0; lane < kCardinals; ++lane) {
      if (lows[lane] < low) low = lows[lane];
      if (highs[lane] > high) high = highs[lane];
    }
  }
  for (; i < n; ++i) {
    if (in[i] < low) low = in[i];
    if (in[i] > high) high = in[i];
  }
  min = low;
  max = high;
}

// Two samples of (x − low) × 65535 / range, rounded half up, as 32-bit values.
// Every quantity stays below 2^53, so the doubles hold them exactly. A true
// quotient that is not whole lies at least 2^-32 from the next whole number,
// far more than the error of the reciprocal, so the estimate can only fall
// short, by one, when the true quotient is whole; the remainder shows it.
inline __m128i StretchPair(__m128i offsets, __m128d range, __m128d reciprocal) {
  const __m128d bias = _mm_set1_pd(2147483648.0);
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d value = _mm_add_pd(_mm_cvtepi32_pd(_mm_xor_si128(offsets, _mm_set1_epi32(INT32_MIN))), bias);
  const __m128d product = _mm_mul_pd(value, _mm_set1_pd(65535.0));
  __m128d quotient = _mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(product, reciprocal)));
  __m128d remainder = _mm_sub_pd(product, _mm_mul_pd(quotient, range));
  const __m128d over = _mm_cmpge_pd(remainder, range);
  quotient = _mm_add_pd(quotient, _mm_and_pd(over, one));
  remainder = _mm_sub_pd(remainder, _mm_and_pd(over, range));
  const __m128d roundUp = _mm_cmpge_pd(_mm_add_pd(remainder, remainder), range);
  quotient = _mm_add_pd(quotient, _mm_and_pd(roundUp, one));
  return _mm_cvttpd_epi32(quotient);
}

void Stretch(const uint32_t* src, uint16_t* dest, size_t n, uint32_t low, uint32_t range) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  const __m128d rangeD = _mm_set1_pd(static_cast<double>(range));
  const __m128d reciprocal = _mm_set1_pd(1.0 / static_cast<double>(range));
  const __m128i lowV = _mm_set1_epi32(static_cast<int>(low));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m128i first = _mm_sub_epi32(Load(src + i), lowV);
    const __m128i second = _mm_sub_epi32(Load(src + i + kCardinals), lowV);
    const __m128i q0 = StretchPair(first, rangeD, reciprocal);
    const __m128i q1 = StretchPair(_mm_srli_si128(first, 8), rangeD, reciprocal);
    const __m128i q2 = StretchPair(second, rangeD, reciprocal);
    const __m128i q3 = StretchPair(_mm_srli_si128(second, 8), rangeD, reciprocal);
    Store(dest + i, PackLow16(_mm_unpacklo_epi64(q0, q1), _mm_unpacklo_epi64(q2, q3)));
  }
  for (; i < n; ++i) {
    const uint64_t product = static_cast<uint64_t>(in[i] - low) * 65535u;
    uint64_t quotient = product / range;
    if (2 * (product % range) >= range) ++quotient;
    out[i] = static_cast<uint16_t>(quotient);
  }
}

}  // namespace

const TArrayKernels kVector128Kernels = {
    .fillWords = FillWords,
    .fillBytes = FillBytes,
    .fillInts = FillInts,
    .minWords = MinWords,
    .maxWords = MaxWords,
    .boolOf = BoolOf,
    .thresholdAbove = ThresholdAbove,
    .subtractSat = SubtractSat,
    .subtractFromSat = SubtractFromSat,
    .equalWords = EqualWords,
    .countEqual = CountEqual,
    .maxWord = MaxWord,
    .maxInt = MaxInt,
    .sum = Sum,
    .weightedSum = WeightedSum,
    .firstNotEqual = FirstNotEqual,
    .lastNotEqual = LastNotEqual,
    .widenBytes = WidenBytes,
    .narrowLow16 = NarrowLow16,
    .narrowSaturate = NarrowSaturate,
    .minMax32 = MinMax32,
    .stretch = Stretch,
};

}  // namespace orbelin::arraykernels
