#include "foundation/CpuLevel.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace orbelin {

namespace {

bool Bit(uint32_t value, int bit) { return (value >> bit) & 1u; }

#if defined(__x86_64__) || defined(__i386__)
bool HardwareCpuid(uint32_t leaf, uint32_t subleaf, TCpuidRegisters& out) {
  const unsigned highest = __get_cpuid_max(0, nullptr);
  if (highest == 0 || leaf > highest) return false;
  __cpuid_count(leaf, subleaf, out.eax, out.ebx, out.ecx, out.edx);
  // OSXSAVE alone does not say the OS saves the YMM registers: ask XGETBV and
  // report bit 27 only when the SSE and AVX state are both enabled.
  if (leaf == 1 && Bit(out.ecx, 27)) {
    uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 0x6u) != 0x6u) out.ecx &= ~(1u << 27);
  }
  return true;
}
#endif

int DetectLevel() {
#if defined(__x86_64__) || defined(__i386__)
  int level = ComputeInstructionSetLevel(HardwareCpuid);
#else
  int level = 3;  // no vector paths off x86
#endif
  const char* noVector = std::getenv("ORBELIN_NOVECTOR");
  if (noVector && std::strcmp(noVector, "1") == 0 && level > 3) level = 3;
  return level;
}

std::atomic<int> levelOverride{-1};

}  // namespace

int ComputeInstructionSetLevel(const TCpuidSource& cpuid) {
  TCpuidRegisters leaf0, leaf1, leaf7;
  if (!cpuid(0, 0, leaf0) || !cpuid(1, 0, leaf1)) return 0;
  const bool hasLeaf7 = leaf0.eax >= 7 && cpuid(7, 0, leaf7);
  // The extended (AVX) register state is usable only when the OS saves it.
  const bool osSavesState = Bit(leaf1.ecx, 27);

  const bool chain[] = {
      Bit(leaf1.edx, 0),                                // x87
      Bit(leaf1.edx, 23),                               // MMX
      Bit(leaf1.edx, 25),                               // SSE
      Bit(leaf1.edx, 26),                               // SSE2
      Bit(leaf1.ecx, 0),                                // SSE3
      Bit(leaf1.ecx, 9),                                // SSSE3
      Bit(leaf1.ecx, 19),                               // SSE4.1
      Bit(leaf1.ecx, 20),                               // SSE4.2
      osSavesState && Bit(leaf1.ecx, 28),               // AVX
      osSavesState && Bit(leaf1.ecx, 29),               // F16C
      osSavesState && Bit(leaf1.ecx, 12),               // FMA
      osSavesState && hasLeaf7 && Bit(leaf7.ebx, 5),    // AVX2
      osSavesState && hasLeaf7 && Bit(leaf7.ebx, 16),   // AVX-512F
  };
  int level = 0;
  for (bool present : chain) {
    if (!present) break;
    ++level;
  }
  return level;
}

int InstructionSetLevel() {
  const int forced = levelOverride.load(std::memory_order_relaxed);
  if (forced >= 0) return forced;
  static const int detected = DetectLevel();
  return detected;
}

void SetInstructionSetLevelOverride(int level) { levelOverride.store(level, std::memory_order_relaxed); }

}  // namespace orbelin
