#include "numeric/ArrayOps.h"

#include <cstring>

#include "foundation/CpuLevel.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayKernels.h"

namespace orbelin {

using arraykernels::TArrayKernels;

namespace {

// Read at every call so that a forced level takes effect at once; the kernels
// fall back to their plain tail for arrays shorter than one vector.
const TArrayKernels& Kernels() {
#if defined(ORBELIN_X86_VECTOR_PATHS)
  const int level = InstructionSetLevel();
  if (level > 11) return arraykernels::kVector256Kernels;
  if (level > 3) return arraykernels::kVector128Kernels;
#endif
  return arraykernels::kPlainKernels;
}

void RequireSameSize(size_t a, size_t b) {
  if (a != b) RaiseError<EMathError>("Arrays have different sizes.");
}

// A destination that already has the right length keeps its storage.
void ResizeLike(TWordDynArray& dest, const TWordDynArray& src) {
  if (dest.size() != src.size()) dest.resize(src.size());
}

}  // namespace

void FillWords(TWordDynArray& a, uint16_t v) { Kernels().fillWords(a.data(), a.size(), v); }
void FillBytes(TByteDynArray& a, uint8_t v) { Kernels().fillBytes(a.data(), a.size(), v); }
void FillInts(TCardinalDynArray& a, uint32_t v) { Kernels().fillInts(a.data(), a.size(), v); }

void FillInts(TIntegers& a, int32_t v) {
  static_assert(sizeof(int32_t) == sizeof(uint32_t));
  // Signed and unsigned forms of one type may alias each other.
  Kernels().fillInts(reinterpret_cast<uint32_t*>(a.data()), a.size(), static_cast<uint32_t>(v));
}

void FillWords(uint16_t* a, size_t n, uint16_t v) { Kernels().fillWords(a, n, v); }
void FillBytes(uint8_t* a, size_t n, uint8_t v) { Kernels().fillBytes(a, n, v); }

template <class T, class Fill>
static void FillRows(T* start, size_t rows, size_t rowLength, T v, size_t gap, Fill fill) {
  if (rows == 0 || rowLength == 0) return;
  if (rows == 1 || gap == 0) {
    fill(start, rows * rowLength, v);
    return;
  }
  for (size_t row = 0; row < rows; ++row, start += rowLength + gap) fill(start, rowLength, v);
}

void FillBlock(uint16_t* start, size_t rows, size_t rowLength, uint16_t v, size_t gap) {
  FillRows(start, rows, rowLength, v, gap, Kernels().fillWords);
}

void FillBlock(uint8_t* start, size_t rows, size_t rowLength, uint8_t v, size_t gap) {
  FillRows(start, rows, rowLength, v, gap, Kernels().fillBytes);
}

// Copies use the C library's block move, which already picks the widest
// vector path of the processor.
void CopyWords(uint16_t* dest, const uint16_t* src, size_t n) {
  if (n > 0) std::memmove(dest, src, n * sizeof(uint16_t));
}

template <class T>
static void CopyRows(T* dest, const T* src, size_t rows, size_t rowLength, size_t srcGap,
                     size_t destGap) {
  if (rows == 0 || rowLength == 0) return;
  if (rows == 1 || (srcGap == 0 && destGap == 0)) {
    std::memmove(dest, src, rows * rowLength * sizeof(T));
    return;
  }
  const size_t srcPitch = rowLength + srcGap, destPitch = rowLength + destGap;
  if (rowLength == 1) {
    for (size_t row = 0; row < rows; ++row) dest[row * destPitch] = src[row * srcPitch];
    return;
  }
  for (size_t row = 0; row < rows; ++row)
    std::memmove(dest + row * destPitch, src + row * srcPitch, rowLength * sizeof(T));
}

void CopyBlock(uint16_t* dest, const uint16_t* src, size_t rows, size_t rowLength, size_t srcGap,
               size_t destGap) {
  CopyRows(dest, src, rows, rowLength, srcGap, destGap);
}

void CopyBlock(uint8_t* dest, const uint8_t* src, size_t rows, size_t rowLength, size_t srcGap,
               size_t destGap) {
  CopyRows(dest, src, rows, rowLength, srcGap, destGap);
}

void AssignCopy(TWordDynArray& dest, const TWordDynArray& src) {
  if (&dest == &src) return;
  ResizeLike(dest, src);
  CopyWords(dest.data(), src.data(), src.size());
}

void MinInPlace(TWordDynArray& a, const TWordDynArray& b) {
  RequireSameSize(a.size(), b.size());
  Kernels().minWords(a.data(), b.data(), a.size());
}

void MinInPlace(uint16_t* a, const uint16_t* b, size_t n) { Kernels().minWords(a, b, n); }

void MaxInPlace(TWordDynArray& a, const TWordDynArray& b) {
  RequireSameSize(a.size(), b.size());
  Kernels().maxWords(a.data(), b.data(), a.size());
}

void MaxInPlace(uint16_t* a, const uint16_t* b, size_t n) { Kernels().maxWords(a, b, n); }

void Normalize(TWordDynArray& a) { Kernels().boolOf(a.data(), a.data(), a.size()); }

void BoolOf(TWordDynArray& dest, const TWordDynArray& src) {
  ResizeLike(dest, src);
  Kernels().boolOf(dest.data(), src.data(), src.size());
}

void ThresholdAbove(TWordDynArray& dest, const TWordDynArray& src, uint16_t t) {
  ResizeLike(dest, src);
  Kernels().thresholdAbove(dest.data(), src.data(), src.size(), t);
}

void SubtractSat(TWordDynArray& a, const TWordDynArray& b) {
  RequireSameSize(a.size(), b.size());
  Kernels().subtractSat(a.data(), b.data(), a.size());
}

void SubtractFromSat(TWordDynArray& a, const TWordDynArray& b) {
  RequireSameSize(a.size(), b.size());
  Kernels().subtractFromSat(a.data(), b.data(), a.size());
}

bool Equal(const TWordDynArray& a, const TWordDynArray& b) {
  if (a.size() != b.size()) return false;
  return Kernels().equalWords(a.data(), b.data(), a.size());
}

int64_t CountEqual(const TWordDynArray& a, uint16_t v) {
  return static_cast<int64_t>(Kernels().countEqual(a.data(), a.size(), v));
}

uint16_t MaxWord(const TWordDynArray& a) { return Kernels().maxWord(a.data(), a.size()); }

int32_t MaxInt(const TIntegers& a) { return Kernels().maxInt(a.data(), a.size()); }

void AddToHistogram(uint32_t* counts, const uint16_t* samples, size_t n) {
  // A 16-bit sample is always a valid bin of the 65536.
  for (size_t i = 0; i < n; ++i) ++counts[samples[i]];
}

uint64_t Sum(const uint32_t* a, int64_t n) {
  return n > 0 ? Kernels().sum(a, static_cast<size_t>(n)) : 0;
}

uint64_t WeightedSum(const uint32_t* a, int64_t n, uint64_t start) {
  return n > 0 ? Kernels().weightedSum(a, static_cast<size_t>(n), start) : 0;
}

int64_t FirstNotEqual(const uint32_t* a, int64_t n, uint32_t v) {
  return n > 0 ? Kernels().firstNotEqual(a, static_cast<size_t>(n), v) : -1;
}

int64_t LastNotEqual(const uint32_t* a, int64_t n, uint32_t v) {
  return n > 0 ? Kernels().lastNotEqual(a, static_cast<size_t>(n), v) : -1;
}

void WidenBytes(const uint8_t* src, uint16_t* dest, size_t n) { Kernels().widenBytes(src, dest, n); }

void NarrowTo16(const uint32_t* src, uint16_t* dest, size_t n, int mode) {
  if (mode < 1 || mode > 4) RaiseErrorFmt<EArgumentOutOfRange>("Invalid conversion mode %d.", mode);
  if (n == 0) return;
  const TArrayKernels& kernels = Kernels();
  if (mode == 1) return kernels.narrowLow16(src, dest, n);
  if (mode == 2) return kernels.narrowSaturate(src, dest, n);

  uint32_t min = 0, max = 0;
  kernels.minMax32(src, n, min, max);
  if (max < 256) return kernels.narrowLow16(src, dest, n);  // small values stay as they are
  if (mode == 3 || min == 0) return kernels.stretch(src, dest, n, 0, max);
  if (min == max) return kernels.fillWords(dest, n, 65535);
  kernels.stretch(src, dest, n, min, max - min);
}

}  // namespace orbelin
