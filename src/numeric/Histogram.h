#pragma once
// The 65536-bin histogram of 16-bit samples kept for every channel plane, its
// queries, and the reduction to fewer bins that the threshold methods work on.
#include <array>
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// Bin v counts the samples of value v. Held by value, never on its own on the heap.
using THistogram = std::array<uint32_t, 65536>;

// Every operation below also takes the histogram as a dynamic array; one that
// does not hold 65536 bins raises EMathError ("Arrays have different sizes.").

void ClearHistogram(THistogram& h);
void ClearHistogram(TCardinalDynArray& h);
// h[v] += 1 for every sample v.
void AddToHistogram(THistogram& h, const TWordDynArray& samples);
void AddToHistogram(TCardinalDynArray& h, const TWordDynArray& samples);

struct THistogramRange {
  uint16_t min = 0;
  uint16_t max = 0;
};
// The lowest and highest occupied bin; both 0 when nothing above bin 0 is occupied.
THistogramRange HistogramRange(const THistogram& h);
THistogramRange HistogramRange(const TCardinalDynArray& h);

// The bottom cut-off for k samples: walking up from the lowest occupied bin,
// the first bin i where the running count S reaches k gives i when S = k, else
// max(i − 1, 0). 65535 when the count never reaches k.
uint16_t LowPercentile(const THistogram& h, uint64_t k);
uint16_t LowPercentile(const TCardinalDynArray& h, uint64_t k);
// The top cut-off for k samples: walking down from the highest occupied bin,
// the first bin i where the running count S reaches k gives i when S = k, else
// i + 1 (65535 stays 65535). 0 when the count never reaches k.
uint16_t HighPercentile(const THistogram& h, uint64_t k);
uint16_t HighPercentile(const TCardinalDynArray& h, uint64_t k);

uint64_t HistogramTotal(const THistogram& h);
uint64_t HistogramTotal(const TCardinalDynArray& h);
// First / last index below n with a non-zero count; -1 when none.
int FirstNonZero(const uint32_t* h, int n);
int LastNonZero(const uint32_t* h, int n);

// Bin j covers the input bins offset + j·scale .. offset + (j + 1)·scale − 1.
struct TReducedHistogram {
  TCardinalDynArray counts;
  int scale = 1;
  int offset = 0;
};

// Bins first..last of h[0..L] (the occupied range, widened to at least 4 bins)
// halved by summing neighbours until at most 2^b remain. An empty histogram
// gives 4 empty bins from 0.
TReducedHistogram ReduceHistogram(const uint32_t* h, int L, int b);

}  // namespace orbelin
