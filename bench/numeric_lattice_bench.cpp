// Speed of the lattice work of the detector: single erosions and dilations
// with the 3×3 square and cross, the radius-16 opening as the analysis builds
// it, and particle labelling, all on one 2048 × 2048 image of blobs covering
// about 10 % of the pixels. With OpenCV present the same work runs through
// OpenCV as a yardstick, and the summary gives the ratio ours / OpenCV.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "BenchSummary.h"
#include "NumericLatticeBench.h"
#include "numeric/Labelling.h"
#include "numeric/Morphology.h"

#ifdef ORBELIN_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace orbelin;

constexpr int32_t kSide = 2048;
constexpr int kOpeningRadius = 16;

// Discs of random radius 3..12 until about 10 % of the pixels are set; blob
// pixels carry a random intensity, the background is 0.
const TLattice& BlobImage() {
  static const TLattice image = [] {
    TLattice l;
    l.Init(kSide, kSide, liZero);
    std::mt19937 rng(2026);
    int64_t set = 0;
    while (set < int64_t{kSide} * kSide / 10) {
      const int32_t r = 3 + int32_t(rng() % 10);
      const int32_t cx = int32_t(rng() % kSide), cy = int32_t(rng() % kSide);
      for (int32_t y = std::max(0, cy - r); y <= std::min(kSide - 1, cy + r); ++y)
        for (int32_t x = std::max(0, cx - r); x <= std::min(kSide - 1, cx + r); ++x) {
          if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r) continue;
          uint16_t& v = l.Data[size_t(y) * kSide + size_t(x)];
          if (v == 0) ++set;
          v = uint16_t(1000 + rng() % 60000);
        }
    }
    return l;
  }();
  return image;
}

const TStructureElement& StepElement(int step) {  // step 1..n: odd square, even cross
  return step % 2 ? SquareElement : CrossElement;
}

void OursErode(benchmark::State& state, const TStructureElement* element) {
  TLattice out;
  for (auto _ : state) {
    Erode(out, BlobImage(), *element, true);
    benchmark::DoNotOptimize(out.Data.data());
  }
}

void OursDilate(benchmark::State& state, const TStructureElement* element) {
  TLattice out;
  for (auto _ : state) {
    Dilate(out, BlobImage(), *element);
    benchmark::DoNotOptimize(out.Data.data());
  }
}

void OursOpening(benchmark::State& state) {
  TLattice a, b;
  for (auto _ : state) {
    a.InitLike(BlobImage(), liCopy);
    for (int step = 1; step <= kOpeningRadius; ++step) {
      Erode(b, a, StepElement(step), true);
      std::swap(a, b);
    }
    for (int step = kOpeningRadius; step >= 1; --step) {
      Dilate(b, a, StepElement(step));
      std::swap(a, b);
    }
    benchmark::DoNotOptimize(a.Data.data());
  }
}

void OursLabel(benchmark::State& state) {
  TWordDynArray labels;
  TParticleObjects particles;
  for (auto _ : state) {
    LabelParticles(labels, particles, BlobImage().Data, kSide);
    benchmark::DoNotOptimize(labels.data());
  }
  state.counters["particles"] = double(particles.size());
}

#ifdef ORBELIN_HAVE_OPENCV

cv::Mat BlobMat() {
  return cv::Mat(kSide, kSide, CV_16U, const_cast<uint16_t*>(BlobImage().Data.data()));
}

const cv::Mat& Kernel(const TStructureElement* element) {
  static const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, {3, 3});
  static const cv::Mat cross = cv::getStructuringElement(cv::MORPH_CROSS, {3, 3});
  return element == &SquareElement ? square : cross;
}

// OpenCV's default border for erosion is the maximum and for dilation the
// minimum: the same outside values as ours.
void CvErode(benchmark::State& state, const TStructureElement* element) {
  const cv::Mat src = BlobMat();
  cv::Mat out;
  for (auto _ : state) {
    cv::erode(src, out, Kernel(element));
    benchmark::DoNotOptimize(out.data);
  }
}

void CvDilate(benchmark::State& state, const TStructureElement* element) {
  const cv::Mat src = BlobMat();
  cv::Mat out;
  for (auto _ : state) {
    cv::dilate(src, out, Kernel(element));
    benchmark::DoNotOptimize(out.data);
  }
}

void CvOpening(benchmark::State& state) {
  const cv::Mat src = BlobMat();
  cv::Mat a, b;
  for (auto _ : state) {
    src.copyTo(a);
    for (int step = 1; step <= kOpeningRadius; ++step) {
      cv::erode(a, b, Kernel(&StepElement(step)));
      std::swap(a, b);
    }
    for (int step = kOpeningRadius; step >= 1; --step) {
      cv::dilate(a, b, Kernel(&StepElement(step)));
      std::swap(a, b);
    }
    benchmark::DoNotOptimize(a.data);
  }
}

// connectedComponents takes an 8-bit image: it gets the mask ready-made.
void CvLabel(benchmark::State& state) {
  cv::Mat mask;
  cv::compare(BlobMat(), 0, mask, cv::CMP_NE);
  cv::Mat labels;
  int count = 0;
  for (auto _ : state) {
    count = cv::connectedComponents(mask, labels, 4, CV_16U);
    benchmark::DoNotOptimize(labels.data);
  }
  state.counters["particles"] = double(count - 1);
}

// Ours runs on one thread; OpenCV's default spreads over all cores. The same
// work again with OpenCV held to one thread shows the per-core ratio.
template <void (*Run)(benchmark::State&)>
void CvSingleThread(benchmark::State& state) {
  const int threads = cv::getNumThreads();
  cv::setNumThreads(1);
  Run(state);
  cv::setNumThreads(threads);
}

#endif

[[maybe_unused]] const bool kRegistered = [] {
  const std::pair<const char*, const TStructureElement*> elements[] = {{"square", &SquareElement},
                                                                       {"cross", &CrossElement}};
  for (const auto& [name, element] : elements) {
    benchmark::RegisterBenchmark((std::string("lattice_erode_") + name + "_ours").c_str(), OursErode, element)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("lattice_dilate_") + name + "_ours").c_str(), OursDilate, element)
        ->Unit(benchmark::kMillisecond);
#ifdef ORBELIN_HAVE_OPENCV
    benchmark::RegisterBenchmark((std::string("lattice_erode_") + name + "_opencv").c_str(), CvErode, element)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("lattice_dilate_") + name + "_opencv").c_str(), CvDilate, element)
        ->Unit(benchmark::kMillisecond);
#endif
  }
  benchmark::RegisterBenchmark("lattice_opening16_ours", OursOpening)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("lattice_label_ours", OursLabel)->Unit(benchmark::kMillisecond);
#ifdef ORBELIN_HAVE_OPENCV
  benchmark::RegisterBenchmark("lattice_opening16_opencv", CvOpening)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("lattice_label_opencv", CvLabel)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("lattice_opening16_1thread_opencv", CvSingleThread<CvOpening>)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("lattice_label_1thread_opencv", CvSingleThread<CvLabel>)
      ->Unit(benchmark::kMillisecond);
#endif
  return true;
}();

}  // namespace

void PrintLatticeTargets(orbelin::bench::TMedianCollector& collector) {
  const auto ms = [&](const char* name) { return collector.MedianNs(name) / 1e6; };
  for (const char* op : {"erode_square", "erode_cross", "dilate_square", "dilate_cross"})
    std::printf("lattice %s: %.3f ms\n", op, ms((std::string("lattice_") + op + "_ours").c_str()));
  std::printf("lattice opening radius 16: %.2f ms, labelling: %.2f ms\n", ms("lattice_opening16_ours"),
              ms("lattice_label_ours"));
#ifdef ORBELIN_HAVE_OPENCV
  std::printf("OpenCV threads: %d\n", cv::getNumThreads());
  for (const char* op : {"erode_square", "erode_cross", "dilate_square", "dilate_cross"})
    std::printf("lattice %s ours/OpenCV: %.2f\n", op,
                ms((std::string("lattice_") + op + "_ours").c_str()) /
                    ms((std::string("lattice_") + op + "_opencv").c_str()));
  std::printf("opening ours/OpenCV on one thread: %.2f, labelling: %.2f\n",
              ms("lattice_opening16_ours") / ms("lattice_opening16_1thread_opencv"),
              ms("lattice_label_ours") / ms("lattice_label_1thread_opencv"));
  orbelin::bench::PrintTarget("lattice_opening16_vs_opencv",
                              ms("lattice_opening16_ours") / ms("lattice_opening16_opencv"), "<=", 1.0);
  orbelin::bench::PrintTarget("lattice_label_vs_opencv",
                              ms("lattice_label_ours") / ms("lattice_label_opencv"), "<=", 2.0);
#endif
}

