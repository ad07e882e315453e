#include <gtest/gtest.h>

#include <map>

#include "foundation/CpuLevel.h"

namespace orbelin {
namespace {

// A processor described by the bits it sets in leaves 1 and 7.
struct FakeCpu {
  uint32_t highestLeaf = 7;
  uint32_t leaf1Edx = 0, leaf1Ecx = 0, leaf7Ebx = 0;

  TCpuidSource Source() const {
    return [*this](uint32_t leaf, uint32_t, TCpuidRegisters& out) {
      out = {};
      if (leaf > highestLeaf) return false;
      if (leaf == 0) out.eax = highestLeaf;
      if (leaf == 1) {
        out.edx = leaf1Edx;
        out.ecx = leaf1Ecx;
      }
      if (leaf == 7) out.ebx = leaf7Ebx;
      return true;
    };
  }
};

constexpr uint32_t kX87 = 1u << 0, kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26;
constexpr uint32_t kSse3 = 1u << 0, kSsse3 = 1u << 9, kSse41 = 1u << 19, kSse42 = 1u << 20;
constexpr uint32_t kOsxsave = 1u << 27, kAvx = 1u << 28, kF16c = 1u << 29, kFma = 1u << 12;
constexpr uint32_t kAvx2 = 1u << 5, kAvx512 = 1u << 16;
constexpr uint32_t kBaseEdx = kX87 | kMmx | kSse | kSse2;
constexpr uint32_t kSseEcx = kSse3 | kSsse3 | kSse41 | kSse42;

TEST(InstructionSetLevel, FollowsTheChainUntilTheFirstGap) {
  struct Case {
    const char* what;
    FakeCpu cpu;
    int level;
  };
  const Case cases[] = {
      {"nothing", {7, 0, 0, 0}, 0},
      {"x87 and SSE without MMX", {7, kX87 | kSse, 0, 0}, 1},
      {"up to SSE2", {7, kBaseEdx, 0, 0}, 4},
      {"SSE2 and AVX without SSE3", {7, kBaseEdx, kOsxsave | kAvx, 0}, 4},
      {"all SSE levels", {7, kBaseEdx, kSseEcx, 0}, 8},
      {"AVX without OS support", {7, kBaseEdx, kSseEcx | kAvx | kF16c | kFma, kAvx2}, 8},
      {"AVX2 with OS support", {7, kBaseEdx, kSseEcx | kOsxsave | kAvx | kF16c | kFma, kAvx2}, 12},
      {"AVX-512F", {7, kBaseEdx, kSseEcx | kOsxsave | kAvx | kF16c | kFma, kAvx2 | kAvx512}, 13},
      {"no leaf 7", {6, kBaseEdx, kSseEcx | kOsxsave | kAvx | kF16c | kFma, kAvx2}, 11},
  };
  for (const auto& c : cases) EXPECT_EQ(ComputeInstructionSetLevel(c.cpu.Source()), c.level) << c.what;
}

TEST(InstructionSetLevel, OverrideIsProcessWideAndRestorable) {
  const int detected = InstructionSetLevel();
  SetInstructionSetLevelOverride(2);
  EXPECT_EQ(InstructionSetLevel(), 2);
  SetInstructionSetLevelOverride(-1);
  EXPECT_EQ(InstructionSetLevel(), detected);
}

}  // namespace
}  // namespace orbelin
