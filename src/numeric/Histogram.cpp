#include "numeric/Histogram.h"

#include <algorithm>

#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"

namespace orbelin {

namespace {

constexpr int kBins = 65536;

const uint32_t* Bins(const TCardinalDynArray& h) {
  if (h.size() != kBins) RaiseError<EMathError>("Arrays have different sizes.");
  return h.data();
}

uint32_t* Bins(TCardinalDynArray& h) {
  if (h.size() != kBins) RaiseError<EMathError>("Arrays have different sizes.");
  return h.data();
}

THistogramRange RangeOf(const uint32_t* h) {
  const int hi = LastNonZero(h, kBins);
  if (hi <= 0) return {};
  return {static_cast<uint16_t>(FirstNonZero(h, kBins)), static_cast<uint16_t>(hi)};
}

uint16_t LowPercentileOf(const uint32_t* h, uint64_t k) {
  const int lo = FirstNonZero(h, kBins);
  if (lo < 0) return 65535;
  uint64_t running = 0;
  for (int i = lo; i < kBins; ++i) {
    running += h[i];
    if (running >= k) return static_cast<uint16_t>(running == k ? i : std::max(i - 1, 0));
  }
  return 65535;
}

uint16_t HighPercentileOf(const uint32_t* h, uint64_t k) {
  const int hi = LastNonZero(h, kBins);
  if (hi < 0) return 0;
  uint64_t running = 0;
  for (int i = hi; i >= 0; --i) {
    running += h[i];
    if (running >= k) {
      if (running == k || i == kBins - 1) return static_cast<uint16_t>(i);
      return static_cast<uint16_t>(i + 1);
    }
  }
  return 0;
}

}  // namespace

void ClearHistogram(THistogram& h) { h.fill(0); }
void ClearHistogram(TCardinalDynArray& h) { FillInts(h, 0); }

void AddToHistogram(THistogram& h, const TWordDynArray& samples) {
  AddToHistogram(h.data(), samples.data(), samples.size());
}

void AddToHistogram(TCardinalDynArray& h, const TWordDynArray& samples) {
  AddToHistogram(Bins(h), samples.data(), samples.size());
}

THistogramRange HistogramRange(const THistogram& h) { return RangeOf(h.data()); }
THistogramRange HistogramRange(const TCardinalDynArray& h) { return RangeOf(Bins(h)); }

uint16_t LowPercentile(const THistogram& h, uint64_t k) { return LowPercentileOf(h.data(), k); }
uint16_t LowPercentile(const TCardinalDynArray& h, uint64_t k) { return LowPercentileOf(Bins(h), k); }

uint16_t HighPercentile(const THistogram& h, uint64_t k) { return HighPercentileOf(h.data(), k); }
uint16_t HighPercentile(const TCardinalDynArray& h, uint64_t k) { return HighPercentileOf(Bins(h), k); }

uint64_t HistogramTotal(const THistogram& h) { return Sum(h.data(), kBins); }
uint64_t HistogramTotal(const TCardinalDynArray& h) { return Sum(Bins(h), kBins); }

int FirstNonZero(const uint32_t* h, int n) { return static_cast<int>(FirstNotEqual(h, n, 0)); }

int LastNonZero(const uint32_t* h, int n) { return static_cast<int>(LastNotEqual(h, n, 0)); }

TReducedHistogram ReduceHistogram(const uint32_t* h, int L, int b) {
  TReducedHistogram reduced;
  if (L < 0) return reduced;
  int last = LastNonZero(h, L + 1);
  int first = FirstNonZero(h, L + 1);
  if (last < 0) first = last = 0;  // empty: four empty bins from 0
  if (last - first < 3) {
    last = first + 3;
    if (last > L) {
      last = L;
      first = std::max(L - 3, 0);
    }
  }
  reduced.offset = first;
  reduced.counts.assign(h + first, h + last + 1);

  // At most 2^b bins; a b beyond 30 cannot ask for fewer than 65536.
  const size_t limit = size_t{1} << std::clamp(b, 0, 30);
  TCardinalDynArray& counts = reduced.counts;
  size_t length = counts.size();
  while (length > limit) {
    const size_t half = length / 2;
    for (size_t i = 0; i < half; ++i) {
      // Saturate rather than wrap: a merged bin never looks emptier than its parts.
      const uint64_t merged = uint64_t{counts[2 * i]} + counts[2 * i + 1];
      counts[i] = static_cast<uint32_t>(std::min<uint64_t>(merged, UINT32_MAX));
    }
    if (length % 2 != 0) {
      counts[half] = counts[length - 1];
      length = half + 1;
    } else {
      length = half;
    }
    reduced.scale *= 2;
  }
  counts.resize(length);
  return reduced;
}

}  // namespace orbelin
