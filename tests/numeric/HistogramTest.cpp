#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "foundation/Exceptions.h"
#include "numeric/AutoThreshold.h"
#include "numeric/Histogram.h"

namespace orbelin {
namespace {

// 256 KiB: kept off the test's stack.
std::unique_ptr<THistogram> MakeHistogram(std::initializer_list<std::pair<int, uint32_t>> bins) {
  auto h = std::make_unique<THistogram>();
  ClearHistogram(*h);
  for (auto [bin, count] : bins) (*h)[bin] = count;
  return h;
}

TEST(Histogram, CountsSamplesAndReportsTheOccupiedRange) {
  auto h = MakeHistogram({});
  AddToHistogram(*h, TWordDynArray{});
  EXPECT_EQ(HistogramTotal(*h), 0u);
  EXPECT_EQ(HistogramRange(*h).max, 0);

  AddToHistogram(*h, TWordDynArray{5, 65535, 5, 300});
  EXPECT_EQ((*h)[5], 2u);
  EXPECT_EQ(HistogramTotal(*h), 4u);
  EXPECT_EQ(HistogramRange(*h).min, 5);
  EXPECT_EQ(HistogramRange(*h).max, 65535);

  // Only bin 0 occupied: both ends are 0.
  auto zeros = MakeHistogram({{0, 9}});
  EXPECT_EQ(HistogramRange(*zeros).min, 0);
  EXPECT_EQ(HistogramRange(*zeros).max, 0);
  EXPECT_EQ(FirstNonZero(zeros->data(), 65536), 0);
  EXPECT_EQ(LastNonZero(zeros->data(), 65536), 0);
  EXPECT_EQ(LastNonZero(h->data(), 0), -1);
}

TEST(Histogram, PercentileCutOffs) {
  const auto h = MakeHistogram({{10, 3}, {20, 5}, {30, 2}});
  struct Case {
    uint64_t k;
    uint16_t low, high;
  };
  const Case cases[] = {
      {0, 9, 31},       // nothing: just below the lowest, just above the highest bin
      {2, 9, 30},       // the top bin holds exactly 2
      {1, 9, 31},       // one sample fewer than the top bin: the bin above it
      {3, 10, 21},      //
      {8, 20, 11},      //
      {10, 30, 10},     // every sample
      {11, 65535, 0},   // more than the total
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LowPercentile(*h, c.k), c.low) << c.k;
    EXPECT_EQ(HighPercentile(*h, c.k), c.high) << c.k;
  }
  const auto empty = MakeHistogram({});
  EXPECT_EQ(LowPercentile(*empty, 0), 65535);
  EXPECT_EQ(HighPercentile(*empty, 0), 0);
  // The ends of the value range stay inside it.
  const auto ends = MakeHistogram({{0, 4}, {65535, 4}});
  EXPECT_EQ(LowPercentile(*ends, 2), 0);
  EXPECT_EQ(HighPercentile(*ends, 2), 65535);
}

TEST(Histogram, ReductionKeepsAtLeastFourBins) {
  const auto h = MakeHistogram({{100, 6}, {101, 2}});
  const TReducedHistogram reduced = ReduceHistogram(h->data(), 65535, 8);
  EXPECT_EQ(reduced.counts, (TCardinalDynArray{6, 2, 0, 0}));
  EXPECT_EQ(reduced.scale, 1);
  EXPECT_EQ(reduced.offset, 100);

  // At the top of the range the four bins end at L.
  const auto top = MakeHistogram({{65535, 1}});
  const TReducedHistogram atTop = ReduceHistogram(top->data(), 65535, 8);
  EXPECT_EQ(atTop.counts, (TCardinalDynArray{0, 0, 0, 1}));
  EXPECT_EQ(atTop.offset, 65532);

  const auto empty = MakeHistogram({});
  const TReducedHistogram none = ReduceHistogram(empty->data(), 65535, 8);
  EXPECT_EQ(none.counts, (TCardinalDynArray{0, 0, 0, 0}));
  EXPECT_EQ(none.offset, 0);
}

TEST(Histogram, ReductionHalvesUntilTheBitsAreMet) {
  auto h = MakeHistogram({});
  for (int i = 1; i <= 1000; ++i) (*h)[i] = static_cast<uint32_t>(i);
  const TReducedHistogram reduced = ReduceHistogram(h->data(), 65535, 8);  // 1000 → 500 → 250
  ASSERT_EQ(reduced.counts.size(), 250u);
  EXPECT_EQ(reduced.scale, 4);
  EXPECT_EQ(reduced.offset, 1);
  EXPECT_EQ(reduced.counts[0], 1u + 2 + 3 + 4);
  EXPECT_EQ(reduced.counts[249], 997u + 998 + 999 + 1000);

  // An odd length: the last bin moves down alone.
  auto odd = MakeHistogram({});
  for (int i = 0; i <= 256; ++i) (*odd)[i] = 1;
  (*odd)[256] = 7;
  const TReducedHistogram halved = ReduceHistogram(odd->data(), 65535, 8);
  ASSERT_EQ(halved.counts.size(), 129u);
  EXPECT_EQ(halved.scale, 2);
  EXPECT_EQ(halved.counts[127], 2u);
  EXPECT_EQ(halved.counts[128], 7u);

  // Merged bins saturate instead of wrapping.
  const auto full = MakeHistogram({{0, 4294967295u}, {1, 4294967295u}, {7, 1}});
  EXPECT_EQ(ReduceHistogram(full->data(), 65535, 2).counts[0], 4294967295u);
}

// Planes keep their histogram as a dynamic array; it answers like the fixed one.
TEST(Histogram, DynamicArrayFormsAnswerAlike) {
  const auto fixed = MakeHistogram({{10, 3}, {20, 5}, {30, 2}});
  TCardinalDynArray dynamic(65536, 7);
  ClearHistogram(dynamic);
  AddToHistogram(dynamic, TWordDynArray{10, 10, 10, 20, 20, 20, 20, 20, 30, 30});
  EXPECT_TRUE(std::equal(dynamic.begin(), dynamic.end(), fixed->begin()));
  EXPECT_EQ(HistogramRange(dynamic).min, 10);
  EXPECT_EQ(HistogramRange(dynamic).max, 30);
  EXPECT_EQ(LowPercentile(dynamic, 4), LowPercentile(*fixed, 4));
  EXPECT_EQ(HighPercentile(dynamic, 4), HighPercentile(*fixed, 4));
  EXPECT_EQ(HistogramTotal(dynamic), 10u);
  EXPECT_EQ(AutoThreshold(8, dynamic, kThresholdOtsu), AutoThreshold(8, *fixed, kThresholdOtsu));

  const TCardinalDynArray shortOne(256, 1);
  EXPECT_THROW(HistogramRange(shortOne), EMathError);
  EXPECT_THROW(LowPercentile(shortOne, 1), EMathError);
  EXPECT_THROW(AutoThreshold(8, shortOne, kThresholdHuang), EMathError);
}

}  // namespace
}  // namespace orbelin
