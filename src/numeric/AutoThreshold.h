#pragma once
// Automatic thresholds: 18 numbered methods over a histogram, optionally run
// on a copy reduced to at most 2^b bins. A threshold t splits the samples into
// a lower class and an upper class of samples >= t, which the detector keeps;
// t is the lowest value of the upper class, except for Huang (3) and Yen (18),
// whose t is the last value of their lower class.
#include <cstdint>

#include "numeric/Histogram.h"

namespace orbelin {

// Method numbers.
enum : int {
  kThresholdTwoLevel = 1,
  kThresholdDefault = 2,      // iterative intermeans
  kThresholdHuang = 3,        // fuzzy entropy
  kThresholdHuang2 = 4,       // fuzzy entropy with a membership table
  kThresholdIntermodes = 5,
  kThresholdIsoData = 6,      // Ridler–Calvard
  kThresholdLi = 7,           // minimum cross-entropy
  kThresholdMaxEntropy = 8,   // Kapur
  kThresholdMean = 9,
  kThresholdMinError = 10,    // Kittler–Illingworth
  kThresholdMinimum = 11,     // between two smoothed peaks
  kThresholdMoments = 12,     // Tsai
  kThresholdOtsu = 13,
  kThresholdPercentile = 14,
  kThresholdRenyiEntropy = 15,
  kThresholdShanbhag = 16,
  kThresholdTriangle = 17,    // Zack
  kThresholdYen = 18,         // maximum correlation
};

// The method results besides a threshold bin (>= 0).
constexpr int kThresholdNone = -1;   // no valid split, no convergence or no such method
constexpr int kThresholdEmpty = -2;  // the histogram is empty

// Bits of the reduced histogram the object detector asks for; 8 at start.
extern int ThresholdBits;

// The threshold of h by method. For 1 <= b <= 15 the method runs on h reduced
// to at most 2^b bins and its result is mapped back to a full bin.
int AutoThreshold(int b, const THistogram& h, int method);
// The same for a dynamic array of 65536 bins (EMathError otherwise).
int AutoThreshold(int b, const TCardinalDynArray& h, int method);

// One method over bins 0..L of h, without reduction.
int ThresholdByMethod(int method, const uint32_t* h, int L);

}  // namespace orbelin
