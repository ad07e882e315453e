// Speed of the readers: open a file and read one plane from the page cache,
// against the bare cost of getting the same bytes (pread) or of decoding the
// same stream alone. Files are generated once into a scratch folder.
#include <fcntl.h>
#include <unistd.h>
#include <zstd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "fixtures/CziWriter.h"
#include "readers/czi/ZeissCziReader.h"

namespace {

using namespace orbelin;

constexpr int kSide = 2048;

struct TCziBenchFiles {
  std::filesystem::path folder;
  std::string raw, zstd;
  int64_t rawPixelOffset = 0;  // where the plane's bytes start in the uncompressed file
  std::vector<uint8_t> zstdFrame;  // the zstd frame of the compressed file, without its 3-byte header

  TCziBenchFiles() {
    folder = std::filesystem::temp_directory_path() / ("orbelin-readers-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // A microscope-like plane: smooth background, bright blobs, a little noise.
    std::vector<uint16_t> samples(static_cast<size_t>(kSide) * kSide);
    uint32_t state = 1;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        state = state * 1664525 + 1013904223;
        const int blob = ((x / 64 + y / 64) % 5 == 0) ? 1500 : 0;
        samples[static_cast<size_t>(y) * kSide + x] = static_cast<uint16_t>(400 + x / 16 + y / 32 + blob + (state >> 28));
      }
    const std::vector<uint8_t> bytes = test::WordBytes(samples);
    test::TCziFileRecipe recipe;
    recipe.MetadataXml = test::CziMetadataXml({{"SizeC", 1}}, "<Channels><Channel Name=\"DAPI\"/></Channels>");
    test::TCziSubblockRecipe block;
    block.Dimensions = test::CziPlaneDimensions(kSide, kSide, {{'C', 0}});
    block.Data = bytes;
    recipe.Subblocks = {block};
    const test::TCziFile rawFile = test::BuildCzi(recipe);
    rawPixelOffset = rawFile.SubblockPositions[0] + 32 + 256;
    raw = Write("raw.czi", rawFile.Bytes);

    recipe.Subblocks[0].Compression = 6;
    recipe.Subblocks[0].Data = test::CompressZstdWithHeader(bytes, true, 1);
    zstdFrame.assign(recipe.Subblocks[0].Data.begin() + 3, recipe.Subblocks[0].Data.end());
    zstd = Write("zstd.czi", test::BuildCzi(recipe).Bytes);
  }
  ~TCziBenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
};

const TCziBenchFiles& CziFiles() {
  static const TCziBenchFiles files;
  return files;
}

void CziOpenRead(benchmark::State& state, const std::string& path) {
  TWordDynArray plane;
  for (auto _ : state) {
    TZeissCziReader reader;
    reader.Open(path);
    if (!reader.ReadImage(0, plane)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(plane.data());
  }
}

// Header parsing alone, to see how much of the open-and-read time it takes.
void BM_CziOpenOnly(benchmark::State& state) {
  for (auto _ : state) {
    TZeissCziReader reader;
    reader.Open(CziFiles().raw);
    benchmark::DoNotOptimize(reader.Width());
  }
}

void BM_CziRawOpenRead(benchmark::State& state) { CziOpenRead(state, CziFiles().raw); }
void BM_CziZstdOpenRead(benchmark::State& state) { CziOpenRead(state, CziFiles().zstd); }

void BM_CziRawPread(benchmark::State& state) {
  const TCziBenchFiles& files = CziFiles();
  std::vector<uint8_t> buffer(static_cast<size_t>(kSide) * kSide * 2);
  for (auto _ : state) {
    const int fd = open(files.raw.c_str(), O_RDONLY);
    const ssize_t got = pread(fd, buffer.data(), buffer.size(), files.rawPixelOffset);
    close(fd);
    if (got != static_cast<ssize_t>(buffer.size())) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buffer.data());
  }
}

void BM_CziZstdDecompressAlone(benchmark::State& state) {
  const TCziBenchFiles& files = CziFiles();
  std::vector<uint8_t> buffer(static_cast<size_t>(kSide) * kSide * 2);
  for (auto _ : state) {
    const size_t got = ZSTD_decompress(buffer.data(), buffer.size(), files.zstdFrame.data(), files.zstdFrame.size());
    if (got != buffer.size()) state.SkipWithError("decompression failed");
    benchmark::DoNotOptimize(buffer.data());
  }
}

BENCHMARK(BM_CziOpenOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CziRawOpenRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CziRawPread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CziZstdOpenRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CziZstdDecompressAlone)->Unit(benchmark::kMillisecond);

}  // namespace

// The ND2 half of this program (readers_nd2_bench.cpp).
void PrintNd2Targets(orbelin::bench::TMedianCollector& collector);

int main(int argc, char** argv) {
  auto& collector = orbelin::bench::RunAll(argc, argv);
  orbelin::bench::PrintTarget("czi_raw_open_read_vs_pread",
                              collector.MedianNs("BM_CziRawOpenRead") / collector.MedianNs("BM_CziRawPread"), "<=",
                              1.5);
  orbelin::bench::PrintTarget(
      "czi_zstd_open_read_vs_decompress",
      collector.MedianNs("BM_CziZstdOpenRead") / collector.MedianNs("BM_CziZstdDecompressAlone"), "<=", 1.2);
  PrintNd2Targets(collector);
  return 0;
}
