// Speed of the numeric core: every bulk array operation on each instruction-set
// path, and the automatic thresholds the object detector uses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "NumericLatticeBench.h"
#include "foundation/CpuLevel.h"
#include "numeric/ArrayOps.h"
#include "numeric/AutoThreshold.h"

namespace orbelin {
namespace {

constexpr size_t kLarge = size_t{4} << 20;   // 4 Mi words: a large plane
constexpr size_t kCached = size_t{64} << 10;  // 64 Ki words: fits the caches

struct TPath {
  const char* name;
  int level;
};

std::vector<TPath> Paths() {
  std::vector<TPath> paths = {{"plain", 3}};
#if defined(__x86_64__)
  paths.push_back({"v128", 4});
  if (__builtin_cpu_supports("avx2")) paths.push_back({"v256", 12});
#endif
  return paths;
}

// Operands shared by every array benchmark, made once per size.
struct TOperands {
  TWordDynArray a, b, dest;
  std::vector<uint32_t> cardinals, narrowed;
  TIntegers ints;
  TByteDynArray bytes;
  std::vector<uint16_t> widened;

  explicit TOperands(size_t n)
      : a(n), b(n), dest(n), cardinals(n), narrowed(n), ints(n), bytes(n), widened(n) {
    std::mt19937 random(7);
    for (size_t i = 0; i < n; ++i) {
      a[i] = static_cast<uint16_t>(random());
      b[i] = static_cast<uint16_t>(random());
      cardinals[i] = 5;  // constant, so that the searches scan everything
      narrowed[i] = 1000 + static_cast<uint32_t>(random() % 1000000);
      ints[i] = static_cast<int32_t>(random());
      bytes[i] = static_cast<uint8_t>(random());
    }
  }
};

TOperands& Operands(size_t n) {
  static TOperands large(kLarge), cached(kCached);
  return n == kLarge ? large : cached;
}

using TOperation = std::function<void(TOperands&)>;

struct TNamedOperation {
  const char* name;
  TOperation run;
};

const std::vector<TNamedOperation>& ArrayOperations() {
  static const std::vector<TNamedOperation> operations = {
      {"FillWords", [](TOperands& o) { FillWords(o.dest, 7); }},
      {"MinInPlace", [](TOperands& o) { MinInPlace(o.a, o.b); }},
      {"MaxInPlace", [](TOperands& o) { MaxInPlace(o.a, o.b); }},
      {"Normalize", [](TOperands& o) { Normalize(o.dest); }},
      {"BoolOf", [](TOperands& o) { BoolOf(o.dest, o.a); }},
      {"ThresholdAbove", [](TOperands& o) { ThresholdAbove(o.dest, o.a, 30000); }},
      {"SubtractSat", [](TOperands& o) { SubtractSat(o.dest, o.b); }},
      {"SubtractFromSat", [](TOperands& o) { SubtractFromSat(o.dest, o.b); }},
      {"Equal", [](TOperands& o) { benchmark::DoNotOptimize(Equal(o.a, o.a)); }},
      {"CountEqual", [](TOperands& o) { benchmark::DoNotOptimize(CountEqual(o.a, 12345)); }},
      {"MaxWord", [](TOperands& o) { benchmark::DoNotOptimize(MaxWord(o.a)); }},
      {"MaxInt", [](TOperands& o) { benchmark::DoNotOptimize(MaxInt(o.ints)); }},
      {"Sum", [](TOperands& o) {
         benchmark::DoNotOptimize(Sum(o.cardinals.data(), static_cast<int64_t>(o.cardinals.size())));
       }},
      {"WeightedSum", [](TOperands& o) {
         benchmark::DoNotOptimize(WeightedSum(o.cardinals.data(), static_cast<int64_t>(o.cardinals.size()), 0));
       }},
      {"FirstNotEqual", [](TOperands& o) {
         benchmark::DoNotOptimize(FirstNotEqual(o.cardinals.data(), static_cast<int64_t>(o.cardinals.size()), 5));
       }},
      {"LastNotEqual", [](TOperands& o) {
         benchmark::DoNotOptimize(LastNotEqual(o.cardinals.data(), static_cast<int64_t>(o.cardinals.size()), 5));
       }},
      {"WidenBytes", [](TOperands& o) { WidenBytes(o.bytes.data(), o.widened.data(), o.bytes.size()); }},
      {"NarrowTo16.1", [](TOperands& o) { NarrowTo16(o.narrowed.data(), o.dest.data(), o.dest.size(), 1); }},
      {"NarrowTo16.2", [](TOperands& o) { NarrowTo16(o.narrowed.data(), o.dest.data(), o.dest.size(), 2); }},
      {"NarrowTo16.4", [](TOperands& o) { NarrowTo16(o.narrowed.data(), o.dest.data(), o.dest.size(), 4); }},
  };
  return operations;
}

std::string ArrayBenchmarkName(const char* operation, const char* size, const char* path) {
  return std::string(operation) + "/" + size + "/" + path;
}

void RegisterArrayBenchmarks() {
  for (const TNamedOperation& operation : ArrayOperations()) {
    for (const TPath& path : Paths()) {
      benchmark::RegisterBenchmark(ArrayBenchmarkName(operation.name, "4Mi", path.name).c_str(),
                                   [run = operation.run, level = path.level](benchmark::State& state) {
                                     TOperands& operands = Operands(kLarge);
                                     SetInstructionSetLevelOverride(level);
                                     for (auto _ : state) run(operands);
                                     SetInstructionSetLevelOverride(-1);
                                     state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLarge));
                                   })
          ->MinTime(0.05)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (const TPath& path : Paths()) {
    benchmark::RegisterBenchmark(ArrayBenchmarkName("MinInPlace", "64Ki", path.name).c_str(),
                                 [level = path.level](benchmark::State& state) {
                                   TOperands& operands = Operands(kCached);
                                   SetInstructionSetLevelOverride(level);
                                   for (auto _ : state) MinInPlace(operands.a, operands.b);
                                   SetInstructionSetLevelOverride(-1);
                                 })
        ->MinTime(0.05)
        ->Unit(benchmark::kMicrosecond);
  }
}

// A plane-like histogram: a dark background peak and a broad bright tail over
// 16-bit values, reduced to 256 bins by the threshold call itself.
THistogram& CellHistogram() {
  static const std::unique_ptr<THistogram> histogram = [] {
    auto h = std::make_unique<THistogram>();
    ClearHistogram(*h);
    for (int v = 0; v < 20000; ++v)
      (*h)[v] = static_cast<uint32_t>(4000 * std::exp(-(v - 900.0) * (v - 900.0) / 20000.0) +
                                      40 * std::exp(-(v - 6000.0) * (v - 6000.0) / 4e6));
    return h;
  }();
  return *histogram;
}

void BM_AutoThresholdHuang(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(AutoThreshold(8, CellHistogram(), kThresholdHuang));
}
BENCHMARK(BM_AutoThresholdHuang)->Unit(benchmark::kMicrosecond);

void BM_AutoThresholdYen(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(AutoThreshold(8, CellHistogram(), kThresholdYen));
}
BENCHMARK(BM_AutoThresholdYen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orbelin

int main(int argc, char** argv) {
  using namespace orbelin;
  RegisterArrayBenchmarks();
  bench::TMedianCollector& results = bench::RunAll(argc, argv);

  // Speed-up of every vector path over the plain loop (medians).
  std::printf("\nspeed-up over the plain loop (4 Mi words)\n");
  for (const TNamedOperation& operation : ArrayOperations()) {
    const double plain = results.MedianNs(ArrayBenchmarkName(operation.name, "4Mi", "plain"));
    if (plain <= 0) continue;  // filtered out
    std::printf("  %-16s", operation.name);
    for (const TPath& path : Paths()) {
      if (path.level == 3) continue;
      const double time = results.MedianNs(ArrayBenchmarkName(operation.name, "4Mi", path.name));
      if (plain > 0 && time > 0) std::printf("  %s %5.2fx", path.name, plain / time);
    }
    std::printf("\n");
  }
  std::printf("\n");

  // ---- summary: one line per target ------------------------------------
  const double minPlain = results.MedianNs(ArrayBenchmarkName("MinInPlace", "64Ki", "plain"));
  const double minWide = results.MedianNs(ArrayBenchmarkName("MinInPlace", "64Ki", "v256"));
  if (minPlain > 0 && minWide > 0)
    bench::PrintTarget("min_in_place_64ki_v256_vs_plain", minPlain / minWide, ">=", 4.0);
  PrintLatticeTargets(results);
  return 0;
}
