// Composite rendering against the memory traffic it cannot avoid, and plane
// loading against the TIFF reader alone.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "BenchSummary.h"
#include "document/Composite.h"
#include "document/ImageSet.h"
#include "fixtures/TiffWriter.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"

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
    formats.ChooseReader = [](const std::string&) { return &readerClass; };
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

// A one-plane 2048 × 2048 16-bit TIFF in the temporary folder.
const std::string& TiffFile() {
  static const std::string path = [] {
    std::vector<uint32_t> samples(File().planes[0].begin(), File().planes[0].end());
    const std::vector<uint8_t> bytes = fixtures::WriteTiff({}, kSide, kSide, {samples});
    std::string name = (std::filesystem::temp_directory_path() / "orbelin-document-bench.tif").string();
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return name;
  }();
  return path;
}

void BM_LoadPlaneWithHistogram(benchmark::State& state) {
  TImageSet set;
  set.OpenFiles({TiffFile()});
  if (set.ChannelCount() != 1) std::abort();
  for (auto _ : state) {
    set.LoadPlane(0, 0);
    benchmark::DoNotOptimize(set.Frames()[0].ChannelData[0].MaxValue);
  }
}
BENCHMARK(BM_LoadPlaneWithHistogram)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTiffPlane(benchmark::State& state) {
  TWordDynArray plane;
  for (auto _ : state) {
    TFileStream stream(TiffFile());
    int width = 0, height = 0, planes = 0;
    double pixelSize = 0;
    if (!ReadTiffPlane(stream, 0, plane, width, height, planes, pixelSize)) std::abort();
    benchmark::DoNotOptimize(plane.data());
  }
}
BENCHMARK(BM_ReadTiffPlane)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  auto& results = orbelin::bench::RunAll(argc, argv);
  const double compose = results.MedianNs("BM_ComposeFourChannels");
  const double copy = results.MedianNs("BM_CopyFourPlanes");
  const double load = results.MedianNs("BM_LoadPlaneWithHistogram");
  const double read = results.MedianNs("BM_ReadTiffPlane");
  // A target whose benchmarks were filtered out is not reported.
  if (compose > 0 && copy > 0) orbelin::bench::PrintTarget("compose_vs_memcpy", compose / copy, "<=", 3.0);
  if (load > 0 && read > 0) orbelin::bench::PrintTarget("load_plane_vs_read_tiff", load / read, "<=", 1.3);
  std::filesystem::remove(TiffFile());
  return 0;
}
