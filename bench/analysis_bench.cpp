// The cell analysis at the sizes a user meets: a 2048 x 2048 image with three
// assigned channels and 20 drawn cells.
#include <chrono>

#include "BenchSummary.h"
#include "analysis/CellAnalyser.h"
#include "analysis/DemoFrame.h"
#include "analysis/DemoImage.h"
#include "analysis/MeasurementTable.h"

namespace {

using namespace orbelin;
using TClock = std::chrono::steady_clock;

constexpr int32_t kCells = 20;

const TDemoImage& Demo() {
  static const TDemoImage image = [] {
    TDemoOptions options;
    options.Seed = 4;
    options.Size = 2048;
    options.CellCount = kCells;
    return MakeDemoImage(options);
  }();
  return image;
}

double Seconds(TClock::time_point start) { return std::chrono::duration<double>(TClock::now() - start).count(); }

// The first analysis of a freshly opened frame: processed planes built, every cell analysed.
void BM_FirstAnalyseFrame(benchmark::State& state) {
  for (auto _ : state) {
    TChannelInfos channels;
    TFrames frames;
    LoadDemoFrame(Demo(), channels, frames);
    AddDemoCells(Demo(), frames, 0, kCells);
    TCellAnalyser analyser(frames, channels);
    const TClock::time_point start = TClock::now();
    benchmark::DoNotOptimize(analyser.AnalyseFrame(0, false));
    state.SetIterationTime(Seconds(start));
  }
}
BENCHMARK(BM_FirstAnalyseFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// One more cell drawn on an analysed frame: only that cell is analysed.
void BM_AddOneCell(benchmark::State& state) {
  TChannelInfos channels;
  TFrames frames;
  LoadDemoFrame(Demo(), channels, frames);
  AddDemoCells(Demo(), frames, 0, kCells - 1);
  TCellAnalyser analyser(frames, channels);
  analyser.AnalyseFrame(0, false);
  for (auto _ : state) {
    AddDemoCells(Demo(), frames, kCells - 1, 1);
    const TClock::time_point start = TClock::now();
    benchmark::DoNotOptimize(analyser.AnalyseFrame(0, false));
    state.SetIterationTime(Seconds(start));
    frames[0].DeleteLastCell(true);
  }
}
BENCHMARK(BM_AddOneCell)->Unit(benchmark::kMillisecond)->UseManualTime();

// The whole table of an analysed frame with 20 cells.
void BM_MeasurementTable(benchmark::State& state) {
  TChannelInfos channels;
  TFrames frames;
  LoadDemoFrame(Demo(), channels, frames);
  AddDemoCells(Demo(), frames, 0, kCells);
  TCellAnalyser analyser(frames, channels);
  analyser.AnalyseFrame(0, false);
  TArrayOfStrings lines;
  for (auto _ : state) {
    const int n = BuildMeasurementTable(
        frames, channels, [&](int32_t frame) { analyser.AnalyseFrame(frame, false); }, lines, true, '.');
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_MeasurementTable)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  auto& results = orbelin::bench::RunAll(argc, argv);
  orbelin::bench::PrintTarget("analyse_frame_first_ms", results.MedianNs("BM_FirstAnalyseFrame") / 1e6, "<=", 400);
  orbelin::bench::PrintTarget("analyse_added_cell_ms", results.MedianNs("BM_AddOneCell") / 1e6, "<=", 20);
  orbelin::bench::PrintTarget("measurement_table_20_cells_ms", results.MedianNs("BM_MeasurementTable") / 1e6, "<=",
                              5);
  return 0;
}
