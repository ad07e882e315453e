// Stand-alone runner of the ND2 reading benchmarks.
#include "BenchSummary.h"

void PrintNd2Targets(orbelin::bench::TMedianCollector& collector);

int main(int argc, char** argv) {
  orbelin::bench::TMedianCollector& collector = orbelin::bench::RunAll(argc, argv);
  PrintNd2Targets(collector);
  return 0;
}
