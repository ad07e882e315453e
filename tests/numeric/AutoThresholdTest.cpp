#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "numeric/AutoThreshold.h"

namespace orbelin {
namespace {

std::unique_ptr<THistogram> MakeHistogram(std::initializer_list<std::pair<int, uint32_t>> bins) {
  auto h = std::make_unique<THistogram>();
  ClearHistogram(*h);
  for (auto [bin, count] : bins) (*h)[bin] = count;
  return h;
}

// Without reduction, and reduced to 256 bins (which these ranges fit, so only
// the offset back to full bins is at work).
constexpr int kBits[] = {0, 8};

TEST(AutoThreshold, OneOccupiedBinIsTheAnswerOfEveryMethod) {
  for (int bin : {0, 1234, 65535}) {
    const auto h = MakeHistogram({{bin, 17}});
    for (int b : kBits)
      for (int method = 1; method <= 18; ++method)
        EXPECT_EQ(AutoThreshold(b, *h, method), bin) << "method " << method << " bin " << bin << " b " << b;
  }
}

TEST(AutoThreshold, EmptyHistogramAndUnknownMethods) {
  const auto empty = MakeHistogram({});
  for (int b : kBits) {
    for (int method = 1; method <= 18; ++method)
      EXPECT_EQ(AutoThreshold(b, *empty, method), method == kThresholdMean ? -1 : -2) << method;
    for (int method : {0, 19, -3}) EXPECT_EQ(AutoThreshold(b, *empty, method), -1);
  }
  const auto h = MakeHistogram({{3, 1}, {9, 1}});
  EXPECT_EQ(AutoThreshold(8, *h, 19), -1);
}

// Small histograms worked by hand from the method definitions.
TEST(AutoThreshold, HandCheckedResults) {
  struct Case {
    const char* what;
    std::initializer_list<std::pair<int, uint32_t>> bins;
    int method;
    int expected;
  };
  const Case cases[] = {
      // Huang and Yen give the last bin of the lower class.
      {"Huang, gap", {{2, 3}, {3, 1}, {7, 1}, {8, 3}}, kThresholdHuang, 3},
      {"Huang, no gap", {{10, 5}, {11, 9}, {12, 4}, {13, 1}, {14, 6}, {15, 8}, {16, 2}}, kThresholdHuang, 13},
      {"Huang, far apart", {{0, 50}, {1, 30}, {2, 5}, {3, 1}, {250, 2}, {251, 7}, {252, 3}}, kThresholdHuang, 3},
      {"Yen, gap", {{2, 3}, {3, 1}, {7, 1}, {8, 3}}, kThresholdYen, 3},
      {"Yen, no gap", {{10, 5}, {11, 9}, {12, 4}, {13, 1}, {14, 6}, {15, 8}, {16, 2}}, kThresholdYen, 12},
      {"Yen, far apart", {{0, 50}, {1, 30}, {2, 5}, {3, 1}, {250, 2}, {251, 7}, {252, 3}}, kThresholdYen, 1},
      {"Yen, two bins", {{40, 10}, {41, 10}}, kThresholdYen, 40},
      // The others give the first bin of the upper class.
      {"Otsu, two neighbours", {{40, 10}, {41, 10}}, kThresholdOtsu, 41},
      {"Otsu, gap: first of the tied splits", {{2, 3}, {3, 1}, {7, 1}, {8, 3}}, kThresholdOtsu, 4},
      {"Otsu, no gap", {{10, 5}, {11, 9}, {12, 4}, {13, 1}, {14, 6}, {15, 8}, {16, 2}}, kThresholdOtsu, 13},
      {"mean, floored", {{0, 50}, {1, 30}, {2, 5}, {3, 1}, {250, 2}, {251, 7}, {252, 3}}, kThresholdMean, 31},
      {"mean of two bins", {{40, 10}, {41, 10}}, kThresholdMean, 40},
      {"two levels", {{10, 4}, {20, 1}}, kThresholdTwoLevel, 19},
      {"two levels, neighbours", {{40, 10}, {41, 10}}, kThresholdTwoLevel, 41},
      {"two levels, three bins", {{10, 4}, {15, 1}, {20, 1}}, kThresholdTwoLevel, -1},
      {"percentile", {{10, 1}, {11, 1}, {12, 1}, {13, 1}}, kThresholdPercentile, 12},
      {"IsoData, two neighbours", {{40, 10}, {41, 10}}, kThresholdIsoData, 41},
      {"triangle, tail above the peak", {{10, 100}, {11, 50}, {12, 20}, {13, 10}, {14, 5}}, kThresholdTriangle, 12},
      {"triangle, tail below the peak", {{10, 5}, {11, 10}, {12, 20}, {13, 50}, {14, 100}}, kThresholdTriangle, 13},
      {"minimum error, a class of one value", {{40, 10}, {41, 10}}, kThresholdMinError, -1},
  };
  for (const Case& c : cases) {
    const auto h = MakeHistogram(c.bins);
    for (int b : kBits) EXPECT_EQ(AutoThreshold(b, *h, c.method), c.expected) << c.what << ", b " << b;
  }
}

TEST(AutoThreshold, ReducedResultsMapBackToFullBins) {
  // Bins 1..1000 reduce to 250 bins of 4 from 1: reduced bins 0 and 249.
  const auto h = MakeHistogram({{1, 3}, {1000, 5}});
  EXPECT_EQ(AutoThreshold(8, *h, kThresholdTwoLevel), 248 * 4 + 1);
  EXPECT_EQ(AutoThreshold(0, *h, kThresholdTwoLevel), 999);
  EXPECT_EQ(AutoThreshold(16, *h, kThresholdTwoLevel), 999);  // beyond 15 bits: no reduction
}

// Two well-separated peaks with empty bins 98..136 between them: the methods
// that look for the valley must split there (a threshold t keeps samples >= t).
TEST(AutoThreshold, ValleySeekingMethodsSplitTwoPeaks) {
  auto h = MakeHistogram({});
  for (int i = 0; i < 256; ++i)
    (*h)[i] = static_cast<uint32_t>(1000 * std::exp(-(i - 60) * (i - 60) / 200.0) +
                                    500 * std::exp(-(i - 180) * (i - 180) / 300.0));
  ASSERT_NE((*h)[97], 0u);
  ASSERT_EQ((*h)[98], 0u);
  ASSERT_EQ((*h)[136], 0u);
  ASSERT_NE((*h)[137], 0u);
  for (int method : {kThresholdDefault, kThresholdHuang2, kThresholdIntermodes, kThresholdIsoData, kThresholdLi,
                     kThresholdMinError, kThresholdMinimum, kThresholdOtsu}) {
    for (int b : {0, 8, 6}) {
      const int t = AutoThreshold(b, *h, method);
      EXPECT_GT(t, 97) << "method " << method << " b " << b;
      EXPECT_LE(t, 137) << "method " << method << " b " << b;
    }
  }
  // Every method gives a split with samples on both sides.
  for (int method = 1; method <= 18; ++method) {
    const int t = AutoThreshold(8, *h, method);
    if (method == kThresholdTwoLevel) {
      EXPECT_EQ(t, -1);
      continue;
    }
    EXPECT_GT(t, 23) << method;
    EXPECT_LE(t, 223) << method;
  }
}

}  // namespace
}  // namespace orbelin
