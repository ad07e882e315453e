// 256-bit paths (AVX2: 16 words or 8 cardinals per vector). This file alone is
// built for AVX2 and is reached only when the processor has it, so it uses no
// shared inline code from library headers (see ArrayKernels.h). Elements after
// the last full vector go through a scalar tail.
#include <immintrin.h>

#include "numeric/ArrayKernels.h"

namespace orbelin::arraykernels {
namespace {

typedef uint16_t __attribute__((may_alias)) AliasedWord;
typedef uint32_t __attribute__((may_alias)) AliasedCardinal;
typedef uint8_t __attribute__((may_alias)) AliasedByte;

constexpr size_t kWords = 16;
constexpr size_t kCardinals = 8;
constexpr size_t kBytes = 32;

inline __m256i Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
inline void Store(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
inline __m128i Load128(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline __m256i AllOnes() { return _mm256_set1_epi32(-1); }

inline __m256i NonZeroMask16(__m256i a) {
  return _mm256_xor_si256(_mm256_cmpeq_epi16(a, _mm256_setzero_si256()), AllOnes());
}
// Packs two vectors of 32-bit values below 65536 into one of 16-bit values in order.
inline __m256i PackLow16(__m256i low, __m256i high) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi32(low, high), 0xD8);
}

void FillWords(uint16_t* a, size_t n, uint16_t v) {
  const __m256i value = _mm256_set1_epi16(static_cast<short>(v));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void FillBytes(uint8_t* a, size_t n, uint8_t v) {
  const __m256i value = _mm256_set1_epi8(static_cast<char>(v));
  size_t i = 0;
  for (; i + kBytes <= n; i += kBytes) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void FillInts(uint32_t* a, size_t n, uint32_t v) {
  const __m256i value = _mm256_set1_epi32(static_cast<int>(v));
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) Store(a + i, value);
  for (; i < n; ++i) a[i] = v;
}

void MinWords(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm256_min_epu16(Load(a + i), Load(b + i)));
  for (; i < n; ++i)
    if (b[i] < a[i]) a[i] = b[i];
}

void MaxWords(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm256_max_epu16(Load(a + i), Load(b + i)));
  for (; i < n; ++i)
    if (b[i] > a[i]) a[i] = b[i];
}

void BoolOf(uint16_t* dest, const uint16_t* src, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(dest + i, NonZeroMask16(Load(src + i)));
  for (; i < n; ++i) dest[i] = src[i] != 0 ? 65535 : 0;
}

void ThresholdAbove(uint16_t* dest, const uint16_t* src, size_t n, uint16_t t) {
  const __m256i threshold = _mm256_set1_epi16(static_cast<short>(t));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords)
    Store(dest + i, NonZeroMask16(_mm256_subs_epu16(Load(src + i), threshold)));
  for (; i < n; ++i) dest[i] = src[i] > t ? 65535 : 0;
}

void SubtractSat(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm256_subs_epu16(Load(a + i), Load(b + i)));
  for (; i < n; ++i) a[i] = a[i] >= b[i] ? static_cast<uint16_t>(a[i] - b[i]) : 0;
}

void SubtractFromSat(uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) Store(a + i, _mm256_subs_epu16(Load(b + i), Load(a + i)));
  for (; i < n; ++i) a[i] = b[i] >= a[i] ? static_cast<uint16_t>(b[i] - a[i]) : 0;
}

bool EqualWords(const uint16_t* a, const uint16_t* b, size_t n) {
  size_t i = 0;
  for (; i + kWords <= n; i += kWords)
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(Load(a + i), Load(b + i))) != -1) return false;
  for (; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

uint64_t CountEqual(const uint16_t* a, size_t n, uint16_t v) {
  const __m256i value = _mm256_set1_epi16(static_cast<short>(v));
  uint64_t count = 0;
  size_t i = 0;
  // 16-bit lane counters, emptied before they can wrap.
  while (i + kWords <= n) {
    __m256i lanes = _mm256_setzero_si256();
    for (size_t round = 0; round < 65535 && i + kWords <= n; ++round, i += kWords)
      lanes = _mm256_sub_epi16(lanes, _mm256_cmpeq_epi16(Load(a + i), value));
    alignas(32) uint16_t parts[kWords];
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
    __m256i lanes = _mm256_setzero_si256();
    for (; i + kWords <= n; i += kWords) lanes = _mm256_max_epu16(lanes, Load(a + i));
    alignas(32) uint16_t parts[kWords];
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
    __m256i lanes = _mm256_set1_epi32(INT32_MIN);
    for (; i + kCardinals <= n; i += kCardinals) lanes = _mm256_max_epi32(lanes, Load(a + i));
    alignas(32) int32_t parts[kCardinals];
    Store(parts, lanes);
    for (int32_t part : parts)
      if (part > best) best = part;
  }
  for (; i < n; ++i)
    if (a[i] > best) best = a[i];
  return best;
}

inline uint64_t AddLanes64(__m256i v) {
  alignas(32) uint64_t parts[4];
  Store(parts, v);
  return parts[0] + parts[1] + parts[2] + parts[3];
}

uint64_t Sum(const uint32_t* a, size_t n) {
  __m256i total = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) {
    const __m256i low = _mm256_cvtepu32_epi64(Load128(a + i));
    const __m256i high = _mm256_cvtepu32_epi64(Load128(a + i + 4));
    total = _mm256_add_epi64(total, _mm256_add_epi64(low, high));
  }
  uint64_t sum = AddLanes64(total);
  for (; i < n; ++i) sum += a[i];
  return sum;
}

uint64_t WeightedSum(const uint32_t* a, size_t n, uint64_t start) {
  // The 32 × 32 → 64-bit multiply needs every weight below 2^32.
  if (n > (uint64_t{1} << 32) || start > (uint64_t{1} << 32) - n)
    return kPlainKernels.weightedSum(a, n, start);
  const long long first = static_cast<long long>(start);
  __m256i weightLow = _mm256_set_epi64x(first + 3, first + 2, first + 1, first);
  __m256i weightHigh = _mm256_add_epi64(weightLow, _mm256_set1_epi64x(4));
  const __m256i step = _mm256_set1_epi64x(kCardinals);
  __m256i total = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals) {
    total = _mm256_add_epi64(total, _mm256_mul_epu32(_mm256_cvtepu32_epi64(Load128(a + i)), weightLow));
    total = _mm256_add_epi64(total, _mm256_mul_epu32(_mm256_cvtepu32_epi64(Load128(a + i + 4)), weightHigh));
    weightLow = _mm256_add_epi64(weightLow, step);
    weightHigh = _mm256_add_epi64(weightHigh, step);
  }
  uint64_t sum = AddLanes64(total);
  for (; i < n; ++i) sum += (start + i) * a[i];
  return sum;
}

inline unsigned DifferMask(const uint32_t* a, __m256i value) {
  return ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(Load(a), value)));
}

int64_t FirstNotEqual(const uint32_t* a, size_t n, uint32_t v) {
  const __m256i value = _mm256_set1_epi32(static_cast<int>(v));
  size_t i = 0;
  for (; i + kCardinals <= n; i += kCardinals)
    if (const unsigned differ = DifferMask(a + i, value)) return static_cast<int64_t>(i + __builtin_ctz(differ) / 4);
  for (; i < n; ++i)
    if (a[i] != v) return static_cast<int64_t>(i);
  return -1;
}

int64_t LastNotEqual(const uint32_t* a, size_t n, uint32_t v) {
  const __m256i value = _mm256_set1_epi32(static_cast<int>(v));
  const size_t blocks = n / kCardinals * kCardinals;
  for (size_t i = n; i-- > blocks;)
    if (a[i] != v) return static_cast<int64_t>(i);
  for (size_t i = blocks; i >= kCardinals;) {
    i -= kCardinals;
    if (const unsigned differ = DifferMask(a + i, value))
      return static_cast<int64_t>(i + (31 - __builtin_clz(differ)) / 4);
  }
  return -1;
}

void WidenBytes(const uint8_t* src, uint16_t* dest, size_t n) {
  // From the top down: a block's stores land at or above its own source bytes.
  const AliasedByte* in = src;
  AliasedWord* out = dest;
  const size_t blocks = n / kWords * kWords;
  for (size_t i = n; i-- > blocks;) out[i] = in[i];
  for (size_t i = blocks; i >= kWords;) {
    i -= kWords;
    Store(dest + i, _mm256_cvtepu8_epi16(Load128(src + i)));
  }
}

void NarrowLow16(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  const __m256i lowHalf = _mm256_set1_epi32(0xFFFF);
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m256i low = _mm256_and_si256(Load(src + i), lowHalf);
    const __m256i high = _mm256_and_si256(Load(src + i + kCardinals), lowHalf);
    Store(dest + i, PackLow16(low, high));
  }
  for (; i < n; ++i) out[i] = static_cast<uint16_t>(in[i]);
}

void NarrowSaturate(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  const __m256i top = _mm256_set1_epi32(0xFFFF);
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m256i low = _mm256_min_epu32(Load(src + i), top);
    const __m256i high = _mm256_min_epu32(Load(src + i + kCardinals), top);
    Store(dest + i, PackLow16(low, high));
  }
  for (; i < n; ++i) out[i] = in[i] > 65535u ? 65535 : static_cast<uint16_t>(in[i]);
}

void MinMax32(const uint32_t* src, size_t n, uint32_t& min, uint32_t& max) {
  const AliasedCardinal* in = src;
  uint32_t low = in[0], high = in[0];
  size_t i = 0;
  if (n >= kCardinals) {
    __m256i lowLanes = _mm256_set1_epi32(static_cast<int>(low));
    __m256i highLanes = lowLanes;
    for (; i + kCardinals <= n; i += kCardinals) {
      const __m256i x = Load(src + i);
      lowLanes = _mm256_min_epu32(lowLanes, x);
      highLanes = _mm256_max_epu32(highLanes, x);
    }
    alignas(32) uint32_t lows[kCardinals], highs[kCardinals];
    Store(lows, lowLanes);
    Store(highs, highLanes);
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

// Four samples of (x − low) × 65535 / range, rounded half up, as 32-bit values.
// Every quantity stays below 2^53, so the doubles hold them exactly. A true
// quotient that is not whole lies at least 2^-32 from the next whole number,
// far more than the error of the reciprocal, so the estimate can only fall
// short, by one, when the true quotient is whole; the remainder shows it.
inline __m128i StretchQuad(__m128i offsets, __m256d range, __m256d reciprocal) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d value = _mm256_add_pd(_mm256_cvtepi32_pd(_mm_xor_si128(offsets, _mm_set1_epi32(INT32_MIN))),
                                      _mm256_set1_pd(2147483648.0));
  const __m256d product = _mm256_mul_pd(value, _mm256_set1_pd(65535.0));
  __m256d quotient = _mm256_floor_pd(_mm256_mul_pd(product, reciprocal));
  __m256d remainder = _mm256_sub_pd(product, _mm256_mul_pd(quotient, range));
  const __m256d over = _mm256_cmp_pd(remainder, range, _CMP_GE_OQ);
  quotient = _mm256_add_pd(quotient, _mm256_and_pd(over, one));
  remainder = _mm256_sub_pd(remainder, _mm256_and_pd(over, range));
  const __m256d roundUp = _mm256_cmp_pd(_mm256_add_pd(remainder, remainder), range, _CMP_GE_OQ);
  quotient = _mm256_add_pd(quotient, _mm256_and_pd(roundUp, one));
  return _mm256_cvttpd_epi32(quotient);
}

inline __m256i StretchEight(__m256i offsets, __m256d range, __m256d reciprocal) {
  const __m128i low = StretchQuad(_mm256_castsi256_si128(offsets), range, reciprocal);
  const __m128i high = StretchQuad(_mm256_extracti128_si256(offsets, 1), range, reciprocal);
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

void Stretch(const uint32_t* src, uint16_t* dest, size_t n, uint32_t low, uint32_t range) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  const __m256d rangeD = _mm256_set1_pd(static_cast<double>(range));
  const __m256d reciprocal = _mm256_set1_pd(1.0 / static_cast<double>(range));
  const __m256i lowV = _mm256_set1_epi32(static_cast<int>(low));
  size_t i = 0;
  for (; i + kWords <= n; i += kWords) {
    const __m256i first = StretchEight(_mm256_sub_epi32(Load(src + i), lowV), rangeD, reciprocal);
    const __m256i second = StretchEight(_mm256_sub_epi32(Load(src + i + kCardinals), lowV), rangeD, reciprocal);
    Store(dest + i, PackLow16(first, second));
  }
  for (; i < n; ++i) {
    const uint64_t product = static_cast<uint64_t>(in[i] - low) * 65535u;
    uint64_t quotient = product / range;
    if (2 * (product % range) >= range) ++quotient;
    out[i] = static_cast<uint16_t>(quotient);
  }
}

}  // namespace

const TArrayKernels kVector256Kernels = {
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
