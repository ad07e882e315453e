#pragma once
// The inner loops behind ArrayOps.h, one table per instruction-set path. The
// vector files see raw pointers only: a file built for a wider instruction set
// must not emit shared inline code that the linker could pick for other callers.
#include <cstddef>
#include <cstdint>

namespace orbelin::arraykernels {

struct TArrayKernels {
  void (*fillWords)(uint16_t* a, size_t n, uint16_t v);
  void (*fillBytes)(uint8_t* a, size_t n, uint8_t v);
  void (*fillInts)(uint32_t* a, size_t n, uint32_t v);
  void (*minWords)(uint16_t* a, const uint16_t* b, size_t n);
  void (*maxWords)(uint16_t* a, const uint16_t* b, size_t n);
  // dest[i] := 65535 when src[i] != 0 (dest may be src).
  void (*boolOf)(uint16_t* dest, const uint16_t* src, size_t n);
  void (*thresholdAbove)(uint16_t* dest, const uint16_t* src, size_t n, uint16_t t);
  void (*subtractSat)(uint16_t* a, const uint16_t* b, size_t n);
  void (*subtractFromSat)(uint16_t* a, const uint16_t* b, size_t n);
  bool (*equalWords)(const uint16_t* a, const uint16_t* b, size_t n);
  uint64_t (*countEqual)(const uint16_t* a, size_t n, uint16_t v);
  uint16_t (*maxWord)(const uint16_t* a, size_t n);
  int32_t (*maxInt)(const int32_t* a, size_t n);
  uint64_t (*sum)(const uint32_t* a, size_t n);
  uint64_t (*weightedSum)(const uint32_t* a, size_t n, uint64_t start);
  int64_t (*firstNotEqual)(const uint32_t* a, size_t n, uint32_t v);
  int64_t (*lastNotEqual)(const uint32_t* a, size_t n, uint32_t v);
  // dest may start at src; written from the top down.
  void (*widenBytes)(const uint8_t* src, uint16_t* dest, size_t n);
  // dest may start at src; written from the bottom up.
  void (*narrowLow16)(const uint32_t* src, uint16_t* dest, size_t n);
  void (*narrowSaturate)(const uint32_t* src, uint16_t* dest, size_t n);
  // Unsigned minimum and maximum of n >= 1 values.
  void (*minMax32)(const uint32_t* src, size_t n, uint32_t& min, uint32_t& max);
  // dest[i] := (src[i] − low) × 65535 div range, plus 1 when twice the
  // remainder is at least range; low <= src[i] <= low + range, range >= 1.
  void (*stretch)(const uint32_t* src, uint16_t* dest, size_t n, uint32_t low, uint32_t range);
};

extern const TArrayKernels kPlainKernels;
#if defined(ORBELIN_X86_VECTOR_PATHS)
extern const TArrayKernels kVector128Kernels;
extern const TArrayKernels kVector256Kernels;
#endif

}  // namespace orbelin::arraykernels
