// Reading one plane of a large grey stack against reading the same bytes with
// one pread: the reader's own work (directories, entries, layout) must stay small.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSummary.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"

namespace {

constexpr uint32_t kWidth = 2048;
constexpr uint32_t kHeight = 2048;
constexpr uint32_t kPages = 20;
constexpr uint32_t kRowsPerStrip = 16;
constexpr int kPlaneIndex = 10;
constexpr uint64_t kPlaneBytes = uint64_t{kWidth} * kHeight * 2;
constexpr uint64_t kHeaderBytes = 8;

void Put16(std::string& out, uint16_t v) { out.append({static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}); }
void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}
void PutEntry(std::string& out, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

// A little-endian stack: all planes first, then one directory per plane with its strip tables.
std::string WriteStack() {
  const std::string path = (std::filesystem::temp_directory_path() / "orbelin-tiff-bench.tif").string();
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const uint64_t directoriesStart = kHeaderBytes + kPlaneBytes * kPages;
  std::string header;
  Put16(header, 0x4949);
  Put16(header, 42);
  Put32(header, static_cast<uint32_t>(directoriesStart));
  file << header;
  std::vector<uint16_t> row(kWidth);
  for (uint32_t page = 0; page < kPages; ++page) {
    for (uint32_t y = 0; y < kHeight; ++y) {
      for (uint32_t x = 0; x < kWidth; ++x) row[x] = static_cast<uint16_t>(page * 1000 + x * 7 + y * 13);
      file.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size() * 2));
    }
  }
  constexpr uint32_t strips = kHeight / kRowsPerStrip;
  constexpr uint16_t entries = 8;
  constexpr uint32_t directoryBytes = 2 + entries * 12 + 4 + strips * 8;
  std::string directories;
  for (uint32_t page = 0; page < kPages; ++page) {
    const auto start = static_cast<uint32_t>(directoriesStart + uint64_t{page} * directoryBytes);
    const uint32_t offsetsAt = start + 2 + entries * 12 + 4;
    const uint32_t countsAt = offsetsAt + strips * 4;
    Put16(directories, entries);
    PutEntry(directories, 256, 4, 1, kWidth);
    PutEntry(directories, 257, 4, 1, kHeight);
    PutEntry(directories, 258, 3, 1, 16);
    PutEntry(directories, 259, 3, 1, 1);
    PutEntry(directories, 262, 3, 1, 1);
    PutEntry(directories, 273, 4, strips, offsetsAt);
    PutEntry(directories, 278, 4, 1, kRowsPerStrip);
    PutEntry(directories, 279, 4, strips, countsAt);
    Put32(directories, page + 1 < kPages ? start + directoryBytes : 0);
    const uint64_t planeStart = kHeaderBytes + uint64_t{page} * kPlaneBytes;
    for (uint32_t s = 0; s < strips; ++s) Put32(directories, static_cast<uint32_t>(planeStart + uint64_t{s} * kWidth * kRowsPerStrip * 2));
    for (uint32_t s = 0; s < strips; ++s) Put32(directories, kWidth * kRowsPerStrip * 2);
  }
  file << directories;
  return path;
}

const std::string& StackPath() {
  static const std::string path = WriteStack();
  return path;
}

void BM_ReadTiffPlane(benchmark::State& state) {
  orbelin::TFileStream stream(StackPath());
  orbelin::TWordDynArray plane;
  int width = 0, height = 0, planes = 0;
  double pixelSize = 0;
  for (auto _ : state) {
    if (!orbelin::ReadTiffPlane(stream, kPlaneIndex, plane, width, height, planes, pixelSize))
      state.SkipWithError("plane not read");
    benchmark::DoNotOptimize(plane.data());
  }
}
BENCHMARK(BM_ReadTiffPlane)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreadPlane(benchmark::State& state) {
  const int fd = ::open(StackPath().c_str(), O_RDONLY | O_CLOEXEC);
  std::vector<uint16_t> plane(size_t{kWidth} * kHeight);
  const auto offset = static_cast<off_t>(kHeaderBytes + kPlaneBytes * kPlaneIndex);
  for (auto _ : state) {
    if (::pread(fd, plane.data(), kPlaneBytes, offset) != static_cast<ssize_t>(kPlaneBytes))
      state.SkipWithError("short read");
    benchmark::DoNotOptimize(plane.data());
  }
  ::close(fd);
}
BENCHMARK(BM_PreadPlane)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  StackPath();
  auto& results = orbelin::bench::RunAll(argc, argv);
  const double reader = results.MedianNs("BM_ReadTiffPlane");
  const double pread = results.MedianNs("BM_PreadPlane");
  const double ratio = pread > 0 ? reader / pread : 0;
  std::printf("ReadTiffPlane %.3f ms, pread %.3f ms, ratio %.3f\n", reader / 1e6, pread / 1e6, ratio);
  orbelin::bench::PrintTarget("tiff_plane_vs_pread", ratio, "<=", 1.5);
  std::filesystem::remove(StackPath());
  return 0;
}
