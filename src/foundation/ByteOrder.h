#pragma once
// Byte-order reversal for files written on big-endian machines.
#include <cstddef>
#include <cstdint>

namespace orbelin {

constexpr uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
constexpr uint32_t Swap32(uint32_t v) { return __builtin_bswap32(v); }
constexpr uint64_t Swap64(uint64_t v) { return __builtin_bswap64(v); }

// Reverse the bytes of each of n consecutive values in place.
void SwapArray16(void* data, size_t n);
void SwapArray32(void* data, size_t n);
void SwapArray64(void* data, size_t n);

}  // namespace orbelin
