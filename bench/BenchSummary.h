#pragma once
// The closing summary every benchmark program prints, one line per target:
//   target NAME: VALUE (goal OP LIMIT) ok|miss
// Values are medians of the repetitions that a reporter collected.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace orbelin::bench {

// Collects the real time (ns per iteration) of every repetition of every run.
class TMedianCollector : public benchmark::ConsoleReporter {
public:
  // Plain text: colour escapes would stand in front of the summary lines that scripts read.
  TMedianCollector() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override;
  // Median real time in nanoseconds of the benchmark whose name starts with prefix; 0 when none ran.
  double MedianNs(const std::string& prefix) const;

private:
  std::map<std::string, std::vector<double>> times_;
};

// Prints one summary line; op is "<=" or ">=". Returns whether the goal was met.
// A value that is not a positive number (its benchmarks did not run) prints nothing.
bool PrintTarget(const std::string& name, double value, const char* op, double limit);

// Runs every registered benchmark with the collector (at least 5 repetitions
// unless the command line says otherwise) and returns it for the summary.
TMedianCollector& RunAll(int argc, char** argv);

}  // namespace orbelin::bench
