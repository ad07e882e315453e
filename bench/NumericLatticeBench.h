#pragma once
// The lattice half of numeric_bench: erosion, dilation, opening and labelling.
#include "BenchSummary.h"

// Prints the summary lines of the lattice benchmarks (ours against OpenCV when it is built in).
void PrintLatticeTargets(orbelin::bench::TMedianCollector& collector);
