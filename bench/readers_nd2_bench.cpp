// ND2 reading speed: open + one plane of a 2048 × 2048 × 4-channel 16-bit
// file from the page cache, stored uncompressed and zlib-compressed, against
// pread and zlib alone; and opening a file of 1000 sequence steps.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "fixtures/Nd2Writer.h"
#include "foundation/Stream.h"
#include "readers/nd2/Nd2ChunkMap.h"
#include "readers/nd2/Nd2Header.h"
#include "readers/nd2/Nd2PixelData.h"
#include "readers/nd2/NikonNd2Reader.h"

namespace {

using namespace orbelin;
using namespace orbelin::fixtures;

struct TBenchFile {
  std::string path;
  int64_t payloadStart = 0;  // the stored frame after the time stamp
  int64_t payloadLength = 0;
  std::vector<uint8_t> payload;
};

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / ("orbelin_bench_" + name)).string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TBenchFile MakeLargeFile(int64_t compression) {
  TNd2FileRecipe recipe;
  recipe.Width = 2048;
  recipe.Height = 2048;
  recipe.Channels = {{"A", 0xFF, 0}, {"B", 0xFF00, 0}, {"C", 0xFF0000, 0}, {"D", 0xFFFFFF, 0}};
  recipe.Compression = compression;
  TBenchFile file;
  file.path = WriteTemp(compression == 0 ? "lossless.nd2" : "raw.nd2", WriteNd2File(recipe));
  TFileStream stream(file.path);
  TNd2Header header;
  ReadNd2Header(stream, header, {});
  const TNd2ChunkHeader chunk = ReadNd2ChunkHeader(stream, header.Map[static_cast<size_t>(header.ImageDataChunks[0])].Position);
  file.payloadStart = chunk.DataStart + 8;
  file.payloadLength = static_cast<int64_t>(chunk.DataLength) - 8;
  file.payload.resize(static_cast<size_t>(file.payloadLength));
  stream.ReadAt(file.payloadStart, file.payload.data(), file.payload.size());
  return file;
}

const TBenchFile& RawFile() {
  static const TBenchFile file = MakeLargeFile(2);
  return file;
}

const TBenchFile& LosslessFile() {
  static const TBenchFile file = MakeLargeFile(0);
  return file;
}

const std::string& ManyStepsFile() {
  static const std::string path = [] {
    TNd2FileRecipe recipe;
    recipe.Width = 16;
    recipe.Height = 16;
    recipe.Loops = {Loop(lkTime, 1000)};
    return WriteTemp("steps.nd2", WriteNd2File(recipe));
  }();
  return path;
}

// Channel 0 of the interleaved frame as 16-bit samples, as the reader hands it on.
void TakeChannel(const std::vector<uint8_t>& frame, int components, std::vector<uint16_t>& plane) {
  const size_t stride = 2 * static_cast<size_t>(components);
  const size_t pixels = frame.size() / stride;
  plane.resize(pixels);
  const uint8_t* in = frame.data();
  uint16_t* out = plane.data();
  for (size_t i = 0; i < pixels; ++i) std::memcpy(out + i, in + i * stride, 2);
}

// Uncompressed steps go the reader's way: the channel straight from the stored rows.
void OpenAndReadPlane(benchmark::State& state, const TBenchFile& file) {
  std::vector<uint8_t> frame;
  std::vector<uint16_t> plane;
  for (auto _ : state) {
    TFileStream stream(file.path);
    TNd2Header header;
    ReadNd2Header(stream, header, {});
    if (CanReadNd2Component(header)) {
      if (!ReadNd2Component(stream, header, 0, 0, plane)) state.SkipWithError("read failed");
    } else {
      if (!ReadNd2SequenceData(stream, header, 0, frame)) state.SkipWithError("read failed");
      TakeChannel(frame, header.Components, plane);
    }
    benchmark::DoNotOptimize(plane.data());
  }
}

void BM_Nd2UncompressedOpenRead(benchmark::State& state) { OpenAndReadPlane(state, RawFile()); }
void BM_Nd2LosslessOpenRead(benchmark::State& state) { OpenAndReadPlane(state, LosslessFile()); }

// The whole road through the reader class: open, raw frame, de-interleave, widen.
void BM_Nd2ReaderOpenReadImage(benchmark::State& state) {
  const TBenchFile& file = RawFile();
  TWordDynArray plane;
  for (auto _ : state) {
    TNikonNd2Reader reader;
    reader.Open(file.path);
    if (!reader.ReadImage(0, plane)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(plane.data());
  }
}

void BM_PreadSameBytes(benchmark::State& state) {
  const TBenchFile& file = RawFile();
  std::vector<uint8_t> buffer(static_cast<size_t>(file.payloadLength));
  for (auto _ : state) {
    const int fd = ::open(file.path.c_str(), O_RDONLY);
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t got = ::pread(fd, buffer.data() + done, buffer.size() - done, file.payloadStart + static_cast<off_t>(done));
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    ::close(fd);
    benchmark::DoNotOptimize(buffer.data());
  }
}

void BM_ZlibAlone(benchmark::State& state) {
  const TBenchFile& file = LosslessFile();
  std::vector<uint8_t> out(size_t{2048} * 2048 * 4 * 2);
  for (auto _ : state) {
    uLongf size = static_cast<uLongf>(out.size());
    uncompress(out.data(), &size, file.payload.data(), static_cast<uLong>(file.payload.size()));
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Nd2Open1000Steps(benchmark::State& state) {
  const std::string& path = ManyStepsFile();
  for (auto _ : state) {
    TFileStream stream(path);
    TNd2Header header;
    ReadNd2Header(stream, header, {});
    benchmark::DoNotOptimize(header.SequenceCount);
  }
}

BENCHMARK(BM_Nd2UncompressedOpenRead)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Nd2UncompressedFrameOnly(benchmark::State& state) {
  const TBenchFile& file = RawFile();
  TFileStream stream(file.path);
  TNd2Header header;
  ReadNd2Header(stream, header, {});
  std::vector<uint8_t> frame;
  for (auto _ : state) {
    ReadNd2SequenceData(stream, header, 0, frame);
    benchmark::DoNotOptimize(frame.data());
  }
}

BENCHMARK(BM_Nd2ReaderOpenReadImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Nd2UncompressedFrameOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreadSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Nd2LosslessOpenRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Nd2Open1000Steps)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

void PrintNd2Targets(orbelin::bench::TMedianCollector& collector) {
  using orbelin::bench::PrintTarget;
  const double pread = collector.MedianNs("BM_PreadSameBytes");
  const double zlib = collector.MedianNs("BM_ZlibAlone");
  if (pread > 0)
    PrintTarget("nd2_raw_open_read_vs_pread", collector.MedianNs("BM_Nd2UncompressedOpenRead") / pread, "<=", 1.5);
  const double reader = collector.MedianNs("BM_Nd2ReaderOpenReadImage");
  if (pread > 0 && reader > 0)
    PrintTarget("nd2_reader_open_read_image_vs_pread", reader / pread, "<=", 1.5);
  if (zlib > 0)
    PrintTarget("nd2_zlib_open_read_vs_inflate", collector.MedianNs("BM_Nd2LosslessOpenRead") / zlib, "<=", 1.2);
  const double open = collector.MedianNs("BM_Nd2Open1000Steps");
  if (open > 0) PrintTarget("nd2_open_1000_steps_ms", open / 1e6, "<=", 20);
}
