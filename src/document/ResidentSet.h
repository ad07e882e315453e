#pragma once
// The process's resident memory, the figure the frame store trims against.
#include <cstdint>
#include <functional>

namespace orbelin {

// Above this many resident bytes, planes of distant frames are freed.
inline constexpr uint64_t kWorkingSetLimit = 792723456;

// Resident bytes from /proc/self/statm; raises EInOutError when it cannot be read.
uint64_t ResidentSetBytes();

using TResidentSetSource = std::function<uint64_t()>;

}  // namespace orbelin
