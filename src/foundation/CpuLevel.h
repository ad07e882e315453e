#pragma once
// The processor's instruction-set level, which picks the vector paths of the
// bulk array operations: 0..13 along the chain x87, MMX, SSE, SSE2, SSE3,
// SSSE3, SSE4.1, SSE4.2, AVX, F16C, FMA, AVX2, AVX-512F.
#include <cstdint>
#include <functional>

namespace orbelin {

struct TCpuidRegisters {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// Answers one identification leaf (with sub-leaf); false when the processor has no such leaf.
using TCpuidSource = std::function<bool(uint32_t leaf, uint32_t subleaf, TCpuidRegisters& out)>;

// The level from an identification source: the capabilities present from the
// start of the chain without a gap.
int ComputeInstructionSetLevel(const TCpuidSource& cpuid);

// The level of this processor, computed once. ORBELIN_NOVECTOR=1 in the
// environment caps it at 3 (plain loops everywhere).
int InstructionSetLevel();

// Tests force a level process-wide; a negative value restores the detected one.
void SetInstructionSetLevelOverride(int level);

}  // namespace orbelin
