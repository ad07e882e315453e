#include "BenchSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orbelin::bench {

void TMedianCollector::ReportRuns(const std::vector<Run>& runs) {
  for (const auto& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
    const double ns = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
    times_[run.benchmark_name()].push_back(ns);
  }
  ConsoleReporter::ReportRuns(runs);
}

double TMedianCollector::MedianNs(const std::string& prefix) const {
  for (const auto& [name, values] : times_) {
    if (name.rfind(prefix, 0) != 0 || values.empty()) continue;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
  return 0;
}

bool PrintTarget(const std::string& name, double value, const char* op, double limit) {
  // Benchmarks filtered out on the command line leave a zero or undefined figure.
  if (!std::isfinite(value) || value <= 0) return false;
  const bool met = std::strcmp(op, "<=") == 0 ? value <= limit : value >= limit;
  std::printf("target %s: %.3g (goal %s %g) %s\n", name.c_str(), value, op, limit, met ? "ok" : "miss");
  return met;
}

TMedianCollector& RunAll(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  bool hasRepetitions = false;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) hasRepetitions = true;
  static char repetitions[] = "--benchmark_repetitions=5";
  if (!hasRepetitions) args.push_back(repetitions);
  // Repetitions of different benchmarks take turns, so the two sides of a
  // ratio see the same moments of a busy machine.
  static char interleaving[] = "--benchmark_enable_random_interleaving=true";
  args.push_back(interleaving);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  static TMedianCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  std::fflush(stdout);
  return collector;
}

}  // namespace orbelin::bench
