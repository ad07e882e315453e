#include "foundation/ByteOrder.h"

#include <cstring>

namespace orbelin {

namespace {
// memcpy keeps the swaps legal on unaligned buffers; the compiler turns each
// loop into plain loads, byte swaps and stores.
template <class T, T (*Swap)(T)>
void SwapEach(void* data, size_t n) {
  auto* bytes = static_cast<unsigned char*>(data);
  for (size_t i = 0; i < n; ++i) {
    T value;
    std::memcpy(&value, bytes + i * sizeof(T), sizeof(T));
    value = Swap(value);
    std::memcpy(bytes + i * sizeof(T), &value, sizeof(T));
  }
}
}  // namespace

void SwapArray16(void* data, size_t n) { SwapEach<uint16_t, Swap16>(data, n); }
void SwapArray32(void* data, size_t n) { SwapEach<uint32_t, Swap32>(data, n); }
void SwapArray64(void* data, size_t n) { SwapEach<uint64_t, Swap64>(data, n); }

}  // namespace orbelin
