#pragma once
// Forcing the instruction-set level so that one test can run every path.
#include <vector>

#include "foundation/CpuLevel.h"

namespace orbelin::test {

// Level 3: plain loops; 4: 128-bit; 12: 256-bit. Only paths this processor can run.
inline std::vector<int> ForceableLevels() {
  std::vector<int> levels = {3};
#if defined(__x86_64__)
  levels.push_back(4);  // SSE2 is part of x86-64
  if (__builtin_cpu_supports("avx2")) levels.push_back(12);
#endif
  return levels;
}

class ForcedLevel {
public:
  explicit ForcedLevel(int level) { SetInstructionSetLevelOverride(level); }
  ~ForcedLevel() { SetInstructionSetLevelOverride(-1); }
  ForcedLevel(const ForcedLevel&) = delete;
  ForcedLevel& operator=(const ForcedLevel&) = delete;
};

}  // namespace orbelin::test
