#include "numeric/AutoThreshold.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"

namespace orbelin {

int ThresholdBits = 8;

namespace {

// Iterative methods give up after this many rounds (no convergence: −1).
constexpr int kMaxRounds = 10000;

// Class counts and moments of the occupied bins lo..hi as prefix sums, so that
// every class statistic costs O(1). Moments use positions relative to lo,
// which keeps the second moments small; means are returned as absolute bins.
class TClassSums {
public:
  TClassSums(const uint32_t* h, int lo, int hi)
      : lo_(lo), count_(hi - lo + 2, 0), moment_(hi - lo + 2, 0), square_(hi - lo + 2, 0.0) {
    for (int i = lo; i <= hi; ++i) {
      const size_t k = static_cast<size_t>(i - lo);
      const uint64_t x = k;
      count_[k + 1] = count_[k] + h[i];
      moment_[k + 1] = moment_[k] + x * h[i];
      square_[k + 1] = square_[k] + static_cast<double>(x) * static_cast<double>(x) * h[i];
    }
  }
  // Sums over bins a..b (inclusive, absolute indices); 0 when a > b.
  uint64_t Count(int a, int b) const { return a > b ? 0 : count_[Index(b) + 1] - count_[Index(a)]; }
  uint64_t Moment(int a, int b) const { return a > b ? 0 : moment_[Index(b) + 1] - moment_[Index(a)]; }
  double Square(int a, int b) const { return a > b ? 0.0 : square_[Index(b) + 1] - square_[Index(a)]; }
  // Mean position relative to lo of a class with samples.
  double RelativeMean(int a, int b) const {
    return static_cast<double>(Moment(a, b)) / static_cast<double>(Count(a, b));
  }
  double Mean(int a, int b) const { return lo_ + RelativeMean(a, b); }
  int Lo() const { return lo_; }

private:
  size_t Index(int i) const { return static_cast<size_t>(i - lo_); }
  int lo_;
  std::vector<uint64_t> count_, moment_;
  std::vector<double> square_;
};

int Floor(double x) { return static_cast<int>(std::floor(x)); }

// Shannon's function of a membership value.
double FuzzyEntropy(double x) {
  if (x <= 0.0 || x >= 1.0) return 0.0;
  return -x * std::log(x) - (1.0 - x) * std::log(1.0 - x);
}

// ---------------------------------------------------------------------------
// 1. Two levels. Returns the upper bin − 1, which splits the two bins; for two
// neighbouring bins that would be the lower bin itself, so the upper bin is
// returned instead (the lowest value of the upper class).
int TwoLevel(const uint32_t* h, int lo, int hi) {
  for (int i = lo + 1; i < hi; ++i)
    if (h[i] != 0) return kThresholdNone;
  return hi - 1 > lo ? hi - 1 : hi;
}

// 2. Default: iterative intermeans from the mean, t := floor of the midpoint of
// the class means of lo..t and t+1..hi until t repeats. The result is t + 1,
// the lowest value of the upper class.
int DefaultIntermeans(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  int t = std::clamp(Floor(sums.Mean(lo, hi)), lo, hi - 1);
  for (int round = 0; round < kMaxRounds; ++round) {
    const int next = std::clamp(Floor((sums.Mean(lo, t) + sums.Mean(t + 1, hi)) / 2), lo, hi - 1);
    if (next == t) return t + 1;
    t = next;
  }
  return kThresholdNone;
}

// 3. Fuzzy entropy (Huang and Wang). Unlike most methods here, the result t
// is the last value of the lower class lo..t; the detector uses it as it is.
int Huang(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  std::vector<int> occupied;
  for (int i = lo; i <= hi; ++i)
    if (h[i] != 0) occupied.push_back(i);
  const double c = 1.0 / (hi - lo);
  const auto term = [&](int i, double mean) {
    const double m = 1.0 / (1.0 + c * std::fabs(i - mean));
    return m >= 1e-6 && m <= 0.999999 ? h[i] * FuzzyEntropy(m) : 0.0;
  };
  double best = DBL_MAX;
  int result = kThresholdNone;
  for (int t = lo; t <= hi; ++t) {
    const double mean0 = sums.Mean(lo, t);
    const double mean1 = t < hi ? sums.Mean(t + 1, hi) : 0.0;
    double lower = 0.0, upper = 0.0;
    for (int i : occupied) {
      if (i <= t)
        lower += term(i, mean0);
      else
        upper += term(i, mean1);
    }
    const double entropy = lower + upper;
    if (entropy < best) {
      best = entropy;
      result = t;
    }
  }
  return result;
}

// 4. Fuzzy entropy with a membership table indexed by the whole-bin distance
// to the rounded class mean. Classes lo..t and t+1..hi; the result is t + 1,
// the lowest value of the upper class.
int Huang2(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  const int span = hi - lo;
  std::vector<double> entropyAt(static_cast<size_t>(span) + 1);
  for (int d = 0; d <= span; ++d) entropyAt[d] = FuzzyEntropy(1.0 / (1.0 + static_cast<double>(d) / span));
  double best = DBL_MAX;
  int result = kThresholdNone;
  for (int t = lo; t < hi; ++t) {
    const int mean0 = Floor(sums.Mean(lo, t) + 0.5);
    const int mean1 = Floor(sums.Mean(t + 1, hi) + 0.5);
    double entropy = 0.0;
    for (int i = lo; i <= hi; ++i)
      if (h[i] != 0) entropy += h[i] * entropyAt[std::abs(i - (i <= t ? mean0 : mean1))];
    if (entropy < best) {
      best = entropy;
      result = t + 1;
    }
  }
  return result;
}

// Three-point running mean over bins lo..hi with empty bins outside.
class TSmoothedHistogram {
public:
  TSmoothedHistogram(const uint32_t* h, int lo, int hi) : values_(h + lo, h + hi + 1), scratch_(values_.size()) {}

  // Smooths until exactly two strict local maxima remain (at most kMaxRounds
  // smoothings); false when that never happens.
  bool SmoothToTwoPeaks(int& first, int& second) {
    for (int round = 0;; ++round) {
      if (TwoPeaks(first, second)) return true;
      if (round == kMaxRounds) return false;
      Smooth();
    }
  }
  double operator[](int k) const { return values_[k]; }

private:
  double At(int k) const { return k < 0 || k >= static_cast<int>(values_.size()) ? 0.0 : values_[k]; }

  bool TwoPeaks(int& first, int& second) const {
    int peaks = 0;
    for (int k = 0; k < static_cast<int>(values_.size()); ++k) {
      if (At(k - 1) < values_[k] && At(k + 1) < values_[k]) {
        if (++peaks > 2) return false;
        (peaks == 1 ? first : second) = k;
      }
    }
    return peaks == 2;
  }

  void Smooth() {
    for (int k = 0; k < static_cast<int>(values_.size()); ++k) scratch_[k] = (At(k - 1) + At(k) + At(k + 1)) / 3.0;
    values_.swap(scratch_);
  }

  std::vector<double> values_, scratch_;
};

// 5. Intermodes (Prewitt and Mendelsohn): the floor of the mean position of
// the two peaks ends the lower class; the result is the bin after it.
int Intermodes(const uint32_t* h, int lo, int hi) {
  TSmoothedHistogram smoothed(h, lo, hi);
  int first = 0, second = 0;
  if (!smoothed.SmoothToTwoPeaks(first, second)) return kThresholdNone;
  return lo + (first + second) / 2 + 1;
}

// 6. IsoData (Ridler and Calvard): the threshold T is the midpoint of the
// means of the classes <= T and > T. Scanning the splits lo..t | t+1..hi
// upwards, the first whose midpoint lies below t + 1 is consistent with it
// (the last split always is). The result is t + 1, the lowest value of the
// upper class.
int IsoData(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  for (int t = lo; t < hi; ++t)
    if ((sums.Mean(lo, t) + sums.Mean(t + 1, hi)) / 2 < t + 1) return t + 1;
  return hi;
}

// 7. Minimum cross-entropy (Li and Tam, iterative): t := (μ1 − μ0) / (ln μ1 −
// ln μ0) from the mean until it moves less than half a bin. The rounded t
// ends the lower class; the result is the bin after it.
int Li(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  double t = sums.Mean(lo, hi);
  for (int round = 0; round < kMaxRounds; ++round) {
    const int last = std::clamp(Floor(t + 0.5), lo, hi - 1);
    const double mean0 = sums.Mean(lo, last), mean1 = sums.Mean(last + 1, hi);
    // mean1 > mean0 >= 0; a lower class at bin 0 has the limit 0.
    const double next = mean0 <= 0.0 ? 0.0 : (mean1 - mean0) / (std::log(mean1) - std::log(mean0));
    if (std::fabs(next - t) < 0.5) return std::clamp(Floor(next + 0.5), lo, hi - 1) + 1;
    t = next;
  }
  return kThresholdNone;
}

// Σ f(h[i]) over lo..t (prefix) and over t+1..hi (suffix), each accumulated
// from its own end so that neither is a difference of large sums.
struct TSplitSums {
  std::vector<double> below, above;  // index t − lo
  template <class F>
  TSplitSums(const uint32_t* h, int lo, int hi, F f) : below(hi - lo + 1), above(hi - lo + 1) {
    double running = 0.0;
    for (int i = lo; i <= hi; ++i) below[i - lo] = running += h[i] != 0 ? f(h[i]) : 0.0;
    running = 0.0;
    for (int i = hi; i >= lo; --i) {
      above[i - lo] = running;  // bins above i
      running += h[i] != 0 ? f(h[i]) : 0.0;
    }
  }
};

// The split lo..t | t+1..hi (t in lo..hi−1) with the largest sum of the class
// Rényi entropies of order alpha (alpha = 1: Shannon's, Kapur's method).
// Returns t, the last value of the lower class.
int MaxEntropySplit(const uint32_t* h, int lo, int hi, double alpha) {
  const TClassSums sums(h, lo, hi);
  const bool shannon = alpha == 1.0;
  const TSplitSums split(h, lo, hi, [&](uint32_t count) {
    const double c = count;
    return shannon ? c * std::log(c) : std::pow(c, alpha);
  });
  double best = -DBL_MAX;
  int result = kThresholdNone;
  for (int t = lo; t < hi; ++t) {
    const double n0 = static_cast<double>(sums.Count(lo, t)), n1 = static_cast<double>(sums.Count(t + 1, hi));
    double entropy;
    if (shannon) {
      // −Σ (h/n) ln(h/n) = ln n − Σ h ln h / n
      entropy = std::log(n0) - split.below[t - lo] / n0 + std::log(n1) - split.above[t - lo] / n1;
    } else {
      entropy = (std::log(split.below[t - lo] / std::pow(n0, alpha)) +
                 std::log(split.above[t - lo] / std::pow(n1, alpha))) /
                (1.0 - alpha);
    }
    if (entropy > best) {
      best = entropy;
      result = t;
    }
  }
  return result;
}

// 8. Maximum entropy (Kapur, Sahoo and Wong). The result is the bin after the
// best split's lower class.
int MaxEntropy(const uint32_t* h, int lo, int hi) {
  const int last = MaxEntropySplit(h, lo, hi, 1.0);
  return last < 0 ? kThresholdNone : last + 1;
}

// 9. Mean over all bins 0..L: floor(Σ i·h[i] / Σ h[i]), the lowest value of the
// upper class. An empty histogram gives −1 (this method has no common frame).
int MeanThreshold(const uint32_t* h, int L) {
  const uint64_t total = Sum(h, L + 1);
  if (total == 0) return kThresholdNone;
  return static_cast<int>(WeightedSum(h, L + 1, 0) / total);
}

// 10. Minimum error (Kittler and Illingworth, iterative): from the mean, t :=
// the crossing between the class means of the two weighted normal densities
// fitted to lo..t and t+1..hi, until t repeats. The crossing's whole part ends
// the lower class; the result is the bin after it.
int MinError(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  const double total = static_cast<double>(sums.Count(lo, hi));
  int t = std::clamp(Floor(sums.Mean(lo, hi)), lo, hi - 1);
  for (int round = 0; round < kMaxRounds; ++round) {
    const double n1 = static_cast<double>(sums.Count(lo, t)), n2 = static_cast<double>(sums.Count(t + 1, hi));
    const double mu1 = sums.RelativeMean(lo, t), mu2 = sums.RelativeMean(t + 1, hi);
    const double var1 = sums.Square(lo, t) / n1 - mu1 * mu1, var2 = sums.Square(t + 1, hi) / n2 - mu2 * mu2;
    if (!(var1 > 0.0) || !(var2 > 0.0)) return kThresholdNone;  // a class of one value fits no density
    const double p1 = n1 / total, p2 = n2 / total;
    // (x − μ1)²/σ1² − (x − μ2)²/σ2² = ln(p1² σ2² / (p2² σ1²)), as a·x² − 2b·x + c = 0.
    const double a = 1.0 / var1 - 1.0 / var2;
    const double b = mu1 / var1 - mu2 / var2;
    const double c = mu1 * mu1 / var1 - mu2 * mu2 / var2 - std::log(p1 * p1 * var2 / (p2 * p2 * var1));
    double crossing;
    if (std::fabs(a) < 1e-12 * (1.0 / var1 + 1.0 / var2)) {
      if (b == 0.0) return kThresholdNone;
      crossing = c / (2.0 * b);
    } else {
      const double discriminant = b * b - a * c;
      if (discriminant < 0.0) return kThresholdNone;
      const double root = std::sqrt(discriminant);
      crossing = (b + root) / a;
      if (crossing < mu1 || crossing > mu2) crossing = (b - root) / a;
    }
    if (!(crossing >= mu1 && crossing <= mu2)) return kThresholdNone;
    const int next = std::clamp(lo + Floor(crossing), lo, hi - 1);
    if (next == t) return t + 1;
    t = next;
  }
  return kThresholdNone;
}

// 11. Minimum between the two peaks of the smoothed histogram (Prewitt and
// Mendelsohn). The lowest valley bin ends the lower class; the result is the
// bin after it.
int Minimum(const uint32_t* h, int lo, int hi) {
  TSmoothedHistogram smoothed(h, lo, hi);
  int first = 0, second = 0;
  if (!smoothed.SmoothToTwoPeaks(first, second)) return kThresholdNone;
  int valley = first + 1;  // strict peaks are never neighbours
  for (int k = first + 2; k < second; ++k)
    if (smoothed[k] < smoothed[valley]) valley = k;
  return lo + valley + 1;
}

// 12. Moment preservation (Tsai): the two-level image with the first three
// moments of the histogram has a lower level of fraction p0; the lower class
// ends at the first bin whose cumulative fraction reaches p0. The result is
// the bin after it.
int Moments(const uint32_t* h, int lo, int hi) {
  double n = 0, m1 = 0, m2 = 0, m3 = 0;
  for (int i = lo; i <= hi; ++i) {
    const double x = i - lo, count = h[i];
    n += count;
    m1 += x * count;
    m2 += x * x * count;
    m3 += x * x * x * count;
  }
  m1 /= n;
  m2 /= n;
  m3 /= n;
  const double cd = m2 - m1 * m1;
  if (!(cd > 0.0)) return kThresholdNone;
  const double c0 = (-m2 * m2 + m1 * m3) / cd;
  const double c1 = (m1 * m2 - m3) / cd;
  const double discriminant = c1 * c1 - 4.0 * c0;
  if (discriminant < 0.0) return kThresholdNone;
  const double z0 = 0.5 * (-c1 - std::sqrt(discriminant));
  const double z1 = 0.5 * (-c1 + std::sqrt(discriminant));
  if (z1 == z0) return kThresholdNone;
  const double p0 = (z1 - m1) / (z1 - z0);
  uint64_t running = 0;
  for (int t = lo; t < hi; ++t) {
    running += h[t];
    if (static_cast<double>(running) >= p0 * n) return t + 1;
  }
  return kThresholdNone;
}

// 13. Largest between-class variance (Otsu) over the splits lo..t | t+1..hi.
// The result is t + 1, the lowest value of the upper class.
int Otsu(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  const double total = static_cast<double>(sums.Count(lo, hi));
  const double totalMoment = static_cast<double>(sums.Moment(lo, hi));
  double best = -1.0;
  int result = kThresholdNone;
  for (int t = lo; t < hi; ++t) {
    const double n0 = static_cast<double>(sums.Count(lo, t));
    const double n1 = total - n0;
    // ∝ ω0·ω1·(μ0 − μ1)²
    const double difference = static_cast<double>(sums.Moment(lo, t)) * total - totalMoment * n0;
    const double variance = difference * difference / (n0 * n1);
    if (variance > best) {
      best = variance;
      result = t + 1;
    }
  }
  return result;
}

// 14. Percentile at 50 %: the lower class ends at the first bin whose
// cumulative count is closest to half the samples. The result is the bin after it.
int Percentile(const uint32_t* h, int lo, int hi) {
  const uint64_t total = Sum(h + lo, hi - lo + 1);
  uint64_t running = 0, bestDistance = UINT64_MAX;
  int result = kThresholdNone;
  for (int t = lo; t < hi; ++t) {
    running += h[t];
    const uint64_t twice = 2 * running;
    const uint64_t distance = twice > total ? twice - total : total - twice;
    if (distance < bestDistance) {
      bestDistance = distance;
      result = t + 1;
    }
  }
  return result;
}

// 15. Rényi entropy (Sahoo, Wilkins and Yeager): the best splits for the
// orders 0.5, 1 and 2, blended by the published weights. The blended value
// ends the lower class; the result is the bin after it.
int RenyiEntropy(const uint32_t* h, int lo, int hi) {
  int splits[3] = {MaxEntropySplit(h, lo, hi, 0.5), MaxEntropySplit(h, lo, hi, 1.0), MaxEntropySplit(h, lo, hi, 2.0)};
  for (int s : splits)
    if (s < 0) return kThresholdNone;
  std::sort(splits, splits + 3);
  const TClassSums sums(h, lo, hi);
  const double total = static_cast<double>(sums.Count(lo, hi));
  const auto fraction = [&](int t) { return static_cast<double>(sums.Count(lo, t)) / total; };
  const bool nearLow = std::abs(splits[0] - splits[1]) <= 5, nearHigh = std::abs(splits[1] - splits[2]) <= 5;
  double beta[3] = {1, 2, 1};
  if (nearLow && !nearHigh) {
    beta[0] = 0, beta[1] = 1, beta[2] = 3;
  } else if (!nearLow && nearHigh) {
    beta[0] = 3, beta[1] = 1, beta[2] = 0;
  }
  const double omega = fraction(splits[2]) - fraction(splits[0]);
  const double blended = splits[0] * (fraction(splits[0]) + 0.25 * omega * beta[0]) +
                         0.25 * splits[1] * omega * beta[1] +
                         splits[2] * (1.0 - fraction(splits[2]) + 0.25 * omega * beta[2]);
  return std::clamp(Floor(blended + 0.5), lo, hi - 1) + 1;
}

// 16. Shanbhag: fuzzy memberships falling from 1 at the class's far end to
// 0.5 at the split; the split lo..t | t+1..hi whose two class informations
// are closest wins. The result is t + 1, the lowest value of the upper class.
int Shanbhag(const uint32_t* h, int lo, int hi) {
  const TClassSums sums(h, lo, hi);
  double best = DBL_MAX;
  int result = kThresholdNone;
  for (int t = lo; t < hi; ++t) {
    const double n0 = static_cast<double>(sums.Count(lo, t)), n1 = static_cast<double>(sums.Count(t + 1, hi));
    double lower = 0.0, upper = 0.0;
    double before = 0.0;  // samples below bin i
    for (int i = lo; i <= t; ++i) {
      if (h[i] != 0) lower -= h[i] * std::log(1.0 - 0.5 * before / n0);
      before += h[i];
    }
    double beyond = n1;  // samples above bin i
    for (int i = t + 1; i <= hi; ++i) {
      beyond -= h[i];
      if (h[i] != 0) upper -= h[i] * std::log(1.0 - 0.5 * beyond / n1);
    }
    const double gap = std::fabs(0.5 * lower / n0 - 0.5 * upper / n1);
    if (gap < best) {
      best = gap;
      result = t + 1;
    }
  }
  return result;
}

// 17. Triangle (Zack, Rogers and Latt): a line from the highest bin to just
// past the far end of the longer tail; the tail's bin farthest below the line
// is the elbow and belongs to the tail's class. With the tail above the peak
// the result is the elbow, with the tail below it the bin after the elbow.
int Triangle(const uint32_t* h, int lo, int hi) {
  int peak = lo;
  for (int i = lo + 1; i <= hi; ++i)
    if (h[i] > h[peak]) peak = i;
  const double height = h[peak];
  const bool tailAbove = hi - peak >= peak - lo;
  const int end = tailAbove ? hi + 1 : lo - 1;
  const int step = tailAbove ? 1 : -1;
  double bestGap = -DBL_MAX;
  int elbow = peak + step;
  for (int i = peak + step; i != end; i += step) {
    const double line = height * static_cast<double>(end - i) / static_cast<double>(end - peak);
    const double gap = line - h[i];
    if (gap > bestGap) {
      bestGap = gap;
      elbow = i;
    }
  }
  return tailAbove ? elbow : elbow + 1;
}

// 18. Maximum correlation (Yen, Chang and Chang). Unlike most methods here,
// the result t is the last value of the lower class lo..t; the detector uses
// it as it is. Sums are 64-bit, so no count can wrap.
int Yen(const uint32_t* h, int lo, int hi) {
  const size_t bins = static_cast<size_t>(hi - lo + 1);
  const double total = static_cast<double>(Sum(h + lo, static_cast<int64_t>(bins)));
  std::vector<double> squaresAbove(bins, 0.0);  // Q2(t): Σ p² over t+1..hi
  for (int t = hi - 1; t >= lo; --t) {
    const double p = h[t + 1] / total;
    squaresAbove[t - lo] = squaresAbove[t + 1 - lo] + p * p;
  }
  double best = -DBL_MAX;
  int result = kThresholdNone;
  double cumulative = 0.0, squaresBelow = 0.0;  // P1(t), Q1(t)
  for (int t = lo; t <= hi; ++t) {
    const double p = h[t] / total;
    cumulative += p;
    squaresBelow += p * p;
    const double product = squaresBelow * squaresAbove[t - lo];
    const double balance = cumulative * (1.0 - cumulative);
    const double criterion =
        (product > 0.0 ? -std::log(product) : 0.0) + (balance > 0.0 ? 2.0 * std::log(balance) : 0.0);
    if (criterion > best) {
      best = criterion;
      result = t;
    }
  }
  return result;
}

}  // namespace

int ThresholdByMethod(int method, const uint32_t* h, int L) {
  if (method < kThresholdTwoLevel || method > kThresholdYen) return kThresholdNone;
  if (method == kThresholdMean) return L < 0 ? kThresholdNone : MeanThreshold(h, L);
  if (L < 0) return kThresholdEmpty;

  // The frame every other method shares.
  const int hi = LastNonZero(h, L + 1);
  if (hi < 0) return kThresholdEmpty;
  const int lo = FirstNonZero(h, L + 1);
  if (lo == hi) return lo;

  switch (method) {
    case kThresholdTwoLevel: return TwoLevel(h, lo, hi);
    case kThresholdDefault: return DefaultIntermeans(h, lo, hi);
    case kThresholdHuang: return Huang(h, lo, hi);
    case kThresholdHuang2: return Huang2(h, lo, hi);
    case kThresholdIntermodes: return Intermodes(h, lo, hi);
    case kThresholdIsoData: return IsoData(h, lo, hi);
    case kThresholdLi: return Li(h, lo, hi);
    case kThresholdMaxEntropy: return MaxEntropy(h, lo, hi);
    case kThresholdMinError: return MinError(h, lo, hi);
    case kThresholdMinimum: return Minimum(h, lo, hi);
    case kThresholdMoments: return Moments(h, lo, hi);
    case kThresholdOtsu: return Otsu(h, lo, hi);
    case kThresholdPercentile: return Percentile(h, lo, hi);
    case kThresholdRenyiEntropy: return RenyiEntropy(h, lo, hi);
    case kThresholdShanbhag: return Shanbhag(h, lo, hi);
    case kThresholdTriangle: return Triangle(h, lo, hi);
    case kThresholdYen: return Yen(h, lo, hi);
    default: return kThresholdNone;
  }
}

namespace {

int AutoThresholdOf(int b, const uint32_t* h, int method) {
  constexpr int kTopBin = 65535;
  if (method < kThresholdTwoLevel || method > kThresholdYen) return kThresholdNone;
  if (b >= 1 && b <= 15) {
    const TReducedHistogram reduced = ReduceHistogram(h, kTopBin, b);
    const int r = ThresholdByMethod(method, reduced.counts.data(), static_cast<int>(reduced.counts.size()) - 1);
    return r >= 0 ? r * reduced.scale + reduced.offset : r;
  }
  return ThresholdByMethod(method, h, kTopBin);
}

}  // namespace

int AutoThreshold(int b, const THistogram& h, int method) { return AutoThresholdOf(b, h.data(), method); }

int AutoThreshold(int b, const TCardinalDynArray& h, int method) {
  if (h.size() != std::tuple_size_v<THistogram>) RaiseError<EMathError>("Arrays have different sizes.");
  return AutoThresholdOf(b, h.data(), method);
}

}  // namespace orbelin
