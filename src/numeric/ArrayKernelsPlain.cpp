// The plain loops: the reference every vector path is tested against. Built
// without auto-vectorisation so that this really is the scalar path.
#include "numeric/ArrayKernels.h"

namespace orbelin::arraykernels {
namespace {

// Narrowing and widening work in place on one buffer seen with two element types.
typedef uint16_t __attribute__((may_alias)) AliasedWord;
typedef uint32_t __attribute__((may_alias)) AliasedCardinal;
typedef uint8_t __attribute__((may_alias)) AliasedByte;

void FillWordsPlain(uint16_t* a, size_t n, uint16_t v) {
  for (size_t i = 0; i < n; ++i) a[i] = v;
}

void FillBytesPlain(uint8_t* a, size_t n, uint8_t v) {
  for (size_t i = 0; i < n; ++i) a[i] = v;
}

void FillIntsPlain(uint32_t* a, size_t n, uint32_t v) {
  for (size_t i = 0; i < n; ++i) a[i] = v;
}

void MinWordsPlain(uint16_t* a, const uint16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (b[i] < a[i]) a[i] = b[i];
}

void MaxWordsPlain(uint16_t* a, const uint16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (b[i] > a[i]) a[i] = b[i];
}

void BoolOfPlain(uint16_t* dest, const uint16_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i) dest[i] = src[i] != 0 ? 65535 : 0;
}

void ThresholdAbovePlain(uint16_t* dest, const uint16_t* src, size_t n, uint16_t t) {
  for (size_t i = 0; i < n; ++i) dest[i] = src[i] > t ? 65535 : 0;
}

void SubtractSatPlain(uint16_t* a, const uint16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i) a[i] = a[i] >= b[i] ? static_cast<uint16_t>(a[i] - b[i]) : 0;
}

void SubtractFromSatPlain(uint16_t* a, const uint16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i) a[i] = b[i] >= a[i] ? static_cast<uint16_t>(b[i] - a[i]) : 0;
}

bool EqualWordsPlain(const uint16_t* a, const uint16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

uint64_t CountEqualPlain(const uint16_t* a, size_t n, uint16_t v) {
  uint64_t count = 0;
  for (size_t i = 0; i < n; ++i) count += a[i] == v;
  return count;
}

uint16_t MaxWordPlain(const uint16_t* a, size_t n) {
  uint16_t best = 0;
  for (size_t i = 0; i < n; ++i)
    if (a[i] > best) best = a[i];
  return best;
}

int32_t MaxIntPlain(const int32_t* a, size_t n) {
  int32_t best = INT32_MIN;
  for (size_t i = 0; i < n; ++i)
    if (a[i] > best) best = a[i];
  return best;
}

uint64_t SumPlain(const uint32_t* a, size_t n) {
  uint64_t total = 0;
  for (size_t i = 0; i < n; ++i) total += a[i];
  return total;
}

uint64_t WeightedSumPlain(const uint32_t* a, size_t n, uint64_t start) {
  uint64_t total = 0;
  for (size_t i = 0; i < n; ++i) total += (start + i) * a[i];
  return total;
}

int64_t FirstNotEqualPlain(const uint32_t* a, size_t n, uint32_t v) {
  for (size_t i = 0; i < n; ++i)
    if (a[i] != v) return static_cast<int64_t>(i);
  return -1;
}

int64_t LastNotEqualPlain(const uint32_t* a, size_t n, uint32_t v) {
  for (size_t i = n; i-- > 0;)
    if (a[i] != v) return static_cast<int64_t>(i);
  return -1;
}

void WidenBytesPlain(const uint8_t* src, uint16_t* dest, size_t n) {
  const AliasedByte* in = src;
  AliasedWord* out = dest;
  for (size_t i = n; i-- > 0;) out[i] = in[i];
}

void NarrowLow16Plain(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint16_t>(in[i]);
}

void NarrowSaturatePlain(const uint32_t* src, uint16_t* dest, size_t n) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  for (size_t i = 0; i < n; ++i) out[i] = in[i] > 65535u ? 65535 : static_cast<uint16_t>(in[i]);
}

void MinMax32Plain(const uint32_t* src, size_t n, uint32_t& min, uint32_t& max) {
  const AliasedCardinal* in = src;
  uint32_t low = in[0], high = in[0];
  for (size_t i = 1; i < n; ++i) {
    if (in[i] < low) low = in[i];
    if (in[i] > high) high = in[i];
  }
  min = low;
  max = high;
}

void StretchPlain(const uint32_t* src, uint16_t* dest, size_t n, uint32_t low, uint32_t range) {
  const AliasedCardinal* in = src;
  AliasedWord* out = dest;
  for (size_t i = 0; i < n; ++i) {
    const uint64_t product = static_cast<uint64_t>(in[i] - low) * 65535u;
    uint64_t quotient = product / range;
    if (2 * (product % range) >= range) ++quotient;
    out[i] = static_cast<uint16_t>(quotient);
  }
}

}  // namespace

const TArrayKernels kPlainKernels = {
    .fillWords = FillWordsPlain,
    .fillBytes = FillBytesPlain,
    .fillInts = FillIntsPlain,
    .minWords = MinWordsPlain,
    .maxWords = MaxWordsPlain,
    .boolOf = BoolOfPlain,
    .thresholdAbove = ThresholdAbovePlain,
    .subtractSat = SubtractSatPlain,
    .subtractFromSat = SubtractFromSatPlain,
    .equalWords = EqualWordsPlain,
    .countEqual = CountEqualPlain,
    .maxWord = MaxWordPlain,
    .maxInt = MaxIntPlain,
    .sum = SumPlain,
    .weightedSum = WeightedSumPlain,
    .firstNotEqual = FirstNotEqualPlain,
    .lastNotEqual = LastNotEqualPlain,
    .widenBytes = WidenBytesPlain,
    .narrowLow16 = NarrowLow16Plain,
    .narrowSaturate = NarrowSaturatePlain,
    .minMax32 = MinMax32Plain,
    .stretch = StretchPlain,
};

}  // namespace orbelin::arraykernels
