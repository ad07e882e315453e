// Composite rendering against the memory traffic it cannot avoid.
#include <cstdlib>
#include <cstring>
#include <random>

#include "BenchSummary.h"
#include "document/Composite.h"
#include "document/ImageSet.h"

namespace {

using namespace orbelin;

constexpr int32_t kSide = 2048;
constexpr int32_t kChannels = 4;

// Four channels of noisy 16-bit samples served from memory.
struct TMemoryFile {
  std::vector<TWordDynArray> planes;
  TMemoryFile() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(0, 4000);
    for (int32_t c = 0; c < kChannels; ++c) {
      TWordDynArray plane(static_cast<size_t>(kSide) * kSide);
      for (auto& v : plane) v = static_cast<uint16_t>(100 * (c + 1) + noise(random));
      planes.push_back(std::move(plane));
    }
  }
};

TMemoryFile& File() {
  static TMemoryFile file;
  return file;
}

class TMemoryReader final : public TPlaneReader {
public:
  void Open(const std::string&) override {}
  TFileDescription Describe() const override {
    TFileDescription description;
    description.Width = description.Height = kSide;
    description.PlaneCount = description.PositionCount = description.TimePointCount = 1;
    description.BitsPerSample = 16;
    description.ChannelNames = {"DAPI", "GFP", "RFP", "Cy5"};
    return description;
  }
  void ReadPlane(int32_t, int32_t channel, TWordDynArray& plane) override {
    plane = File().planes[static_cast<size_t>(channel)];
  }
};

TImageSet& OpenSet() {
  static TPlaneReaderClass readerClass{"Memory", [](const std::string&) { return 1; },
                                  [] { return std::make_unique<TMemoryReader>(); }};
  static TImageSet* set = [] {
    TImageFormats formats;
    formats.Common = &readerClass;
    auto* opened = new TImageSet(formats);
    // Any existing file will do; the reader serves the planes from memory.
    opened->OpenFiles({"/proc/self/exe"});
    if (opened->ChannelCount() != kChannels) std::abort();
    return opened;
  }();
  return *set;
}

void BM_ComposeFourChannels(benchmark::State& state) {
  TImageSet& set = OpenSet();
  TBgrImage image;
  for (auto _ : state) {
    ComposeFrame(set, image);
    benchmark::DoNotOptimize(image.Pixels.data());
  }
}
BENCHMARK(BM_ComposeFourChannels)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyFourPlanes(benchmark::State& state) {
  std::vector<uint8_t> out(static_cast<size_t>(kSide) * kSide * 3);
  for (auto _ : state) {
    for (const auto& plane : File().planes) {
      std::memcpy(out.data(), plane.data(), plane.size() * sizeof(uint16_t));
      benchmark::ClobberMemory();
    }
  }
}
BENCHMARK(BM_CopyFourPlanes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  auto& results = orbelin::bench::RunAll(argc, argv);
  const double compose = results.MedianNs("BM_ComposeFourChannels");
  const double copy = results.MedianNs("BM_CopyFourPlanes");
  orbelin::bench::PrintTarget("compose_vs_memcpy", copy > 0 ? compose / copy : 0, "<=", 3.0);
  return 0;
}
