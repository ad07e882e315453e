#include "numeric/Labelling.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/Exceptions.h"

namespace orbelin {
namespace {

// An image from rows of text: '.' is 0, a digit d is the value d (or 'x' = 1).
TWordDynArray Image(const std::vector<std::string>& rows) {
  TWordDynArray out;
  for (const std::string& row : rows)
    for (char c : row) out.push_back(c == '.' ? 0 : c == 'x' ? 1 : uint16_t(c - '0'));
  return out;
}

// Labels by depth-first search from seeds in scan order, then takes the sums
// in a plain scan; an independent route to the same result.
void ReferenceLabels(TWordDynArray& labels, TParticleObjects& particles, const TWordDynArray& v,
                     int32_t w) {
  const int32_t n = int32_t(v.size()), h = n / w;
  labels.assign(v.size(), 0);
  particles.clear();
  uint16_t count = 0;
  for (int32_t p = 0; p < n; ++p) {
    if (v[size_t(p)] == 0 || labels[size_t(p)] != 0) continue;
    ++count;
    std::vector<int32_t> stack{p};
    labels[size_t(p)] = count;
    while (!stack.empty()) {
      const int32_t q = stack.back();
      stack.pop_back();
      const int32_t x = q % w, y = q / w;
      const int32_t nb[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
      for (const auto& [u, t] : nb) {
        if (u < 0 || t < 0 || u >= w || t >= h) continue;
        const size_t j = size_t(t * w + u);
        if (v[j] != 0 && labels[j] == 0) {
          labels[j] = count;
          stack.push_back(int32_t(j));
        }
      }
    }
  }
  particles.assign(count, TParticleObject{});
  for (int32_t p = 0; p < n; ++p) {
    if (labels[size_t(p)] == 0) continue;
    TParticleObject& P = particles[labels[size_t(p)] - 1u];
    const int32_t x = p % w, y = p / w;
    const uint16_t val = v[size_t(p)];
    if (P.FirstX == 0 && P.FirstY == 0) {
      P.FirstX = x;
      P.FirstY = y;
    }
    ++P.Area;
    P.SumX += x;
    P.SumY += y;
    P.SumValue += val;
    P.SumValueX += int64_t{val} * x;
    P.SumValueY += int64_t{val} * y;
  }
  for (int32_t x = 0; x < w; ++x) {
    if (labels[size_t(x)]) ++particles[labels[size_t(x)] - 1u].BorderPixels;
    if (labels[size_t((h - 1) * w + x)]) ++particles[labels[size_t((h - 1) * w + x)] - 1u].BorderPixels;
  }
  for (int32_t y = 1; y < h - 1; ++y) {
    if (labels[size_t(y * w)]) ++particles[labels[size_t(y * w)] - 1u].BorderPixels;
    if (labels[size_t(y * w + w - 1)]) ++particles[labels[size_t(y * w + w - 1)] - 1u].BorderPixels;
  }
}

TEST(LabellingTest, FourConnectedParticlesWithSums) {
  const TWordDynArray v = Image({
      "x2..",
      "..3.",
      ".45.",
      "....",
  });
  TWordDynArray labels;
  TParticleObjects particles;
  LabelParticles(labels, particles, v, 4);
  // (1,0) and (2,1) touch only at a corner: separate particles.
  EXPECT_EQ(labels, Image({"11..", "..2.", ".22.", "...."}));
  ASSERT_EQ(particles.size(), 2u);
  // The pixel (0, 0) never counts as the first pixel: (1, 0) does.
  EXPECT_EQ(particles[0], (TParticleObject{1, 0, 2, 2, 1, 0, 3, 2, 0}));
  EXPECT_EQ(particles[1], (TParticleObject{2, 1, 3, 0, 5, 5, 12, 3 * 2 + 4 * 1 + 5 * 2, 3 + 8 + 10}));

  // A lone pixel at (0, 0) keeps (0, 0).
  LabelParticles(labels, particles, Image({"x.", ".."}), 2);
  ASSERT_EQ(particles.size(), 1u);
  EXPECT_EQ(particles[0].FirstX, 0);
  EXPECT_EQ(particles[0].FirstY, 0);
  // A particle through (0, 0) that continues only downwards takes (0, 1).
  LabelParticles(labels, particles, Image({"x.", "x."}), 2);
  EXPECT_EQ(particles[0].FirstX, 0);
  EXPECT_EQ(particles[0].FirstY, 1);
}

TEST(LabellingTest, BorderPixelsCountPerRowRule) {
  struct Case {
    std::vector<std::string> rows;
    int32_t border;
  };
  const Case cases[] = {
      {{"xxx", "xxx", "xxx"}, 8},  // corners count once
      {{"xxxx"}, 8},               // one row: first and last row at once
      {{"x", "x", "x"}, 4},        // one column: first and last pixel at once
      {{"x"}, 2},
      {{"....", ".xx.", "...."}, 0},
  };
  for (const Case& c : cases) {
    TWordDynArray labels;
    TParticleObjects particles;
    LabelParticles(labels, particles, Image(c.rows), int32_t(c.rows[0].size()));
    ASSERT_EQ(particles.size(), 1u);
    EXPECT_EQ(particles[0].BorderPixels, c.border) << c.rows[0];
  }
}

TEST(LabellingTest, MatchesReferenceOnRandomImages) {
  std::mt19937 rng(7);
  struct Size {
    int32_t w, h;
  };
  for (const Size s : {Size{1, 1}, Size{1, 37}, Size{41, 1}, Size{2, 2}, Size{13, 7}, Size{64, 48},
                       Size{131, 97}}) {
    for (const int percent : {10, 45, 60, 90}) {
      TWordDynArray v(size_t(s.w * s.h));
      for (auto& x : v) x = (int(rng() % 100) < percent) ? uint16_t(1 + rng() % 65535) : 0;
      TWordDynArray labels, expectedLabels;
      TParticleObjects particles, expected;
      LabelParticles(labels, particles, v, s.w);
      ReferenceLabels(expectedLabels, expected, v, s.w);
      ASSERT_EQ(labels, expectedLabels) << s.w << "x" << s.h << " " << percent;
      ASSERT_EQ(particles.size(), expected.size());
      for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(particles[i], expected[i]) << s.w << "x" << s.h << " particle " << i;
    }
  }
}

TEST(LabellingTest, EmptyAndMalformedInput) {
  TWordDynArray labels{1, 2};
  TParticleObjects particles(3);
  LabelParticles(labels, particles, {}, 5);
  EXPECT_TRUE(labels.empty());
  EXPECT_TRUE(particles.empty());
  const TWordDynArray v(10, 1);
  EXPECT_THROW(LabelParticles(labels, particles, v, 0), ELatticeError);
  EXPECT_THROW(LabelParticles(labels, particles, v, -3), ELatticeError);
  EXPECT_THROW(LabelParticles(labels, particles, v, 4), ELatticeError);  // not whole rows
  TWordDynArray same(4, 1);
  EXPECT_THROW(LabelParticles(same, particles, same, 2), ELatticeError);
}

TEST(LabellingTest, MoreParticlesThanLabelsIsAnError) {
  // Isolated pixels on every other row and column of a 512 × 512 image.
  const int32_t w = 512;
  TWordDynArray v(size_t(w * w), 0);
  for (int32_t y = 0; y < w; y += 2)
    for (int32_t x = 0; x < w; x += 2) v[size_t(y * w + x)] = 1;
  TWordDynArray labels;
  TParticleObjects particles;
  EXPECT_THROW(LabelParticles(labels, particles, v, w), ELatticeError);
  v[0] = 0;  // exactly 65535 fits
  LabelParticles(labels, particles, v, w);
  EXPECT_EQ(particles.size(), 65535u);
  EXPECT_EQ(labels.back(), 0);
  EXPECT_EQ(labels[size_t((w - 2) * w + w - 2)], 65535);
}

// Three particles of 5, 40 and 12 pixels, in that label order.
void ThreeParticles(TWordDynArray& labels, TParticleObjects& particles) {
  const int32_t w = 20;
  TWordDynArray v(size_t(w * 10), 0);
  for (int i = 0; i < 5; ++i) v[size_t(i)] = 1;                       // row 0, x 0..4
  for (int i = 0; i < 40; ++i) v[size_t((2 + i / 10) * w + i % 10)] = 1;  // rows 2..5, x 0..9
  for (int i = 0; i < 12; ++i) v[size_t(8 * w + i)] = 1;              // row 8, x 0..11
  LabelParticles(labels, particles, v, w);
}

TWordDynArray LabelsOfAreas(const TWordDynArray& labels) {
  // The label found at the 5-, 40- and 12-pixel particle.
  return {labels[0], labels[2 * 20], labels[8 * 20]};
}

TEST(LabellingTest, SizeFilterAndLargest) {
  TWordDynArray labels;
  TParticleObjects particles;
  ThreeParticles(labels, particles);
  ASSERT_EQ(particles.size(), 3u);
  FilterParticlesBySize(labels, particles, 10, 30);
  EXPECT_EQ(LabelsOfAreas(labels), (TWordDynArray{0, 0, 1}));
  ASSERT_EQ(particles.size(), 1u);
  EXPECT_EQ(particles[0].Area, 12);

  ThreeParticles(labels, particles);
  FilterParticlesBySize(labels, particles, 10, -1);  // no upper limit
  EXPECT_EQ(LabelsOfAreas(labels), (TWordDynArray{0, 1, 2}));
  EXPECT_EQ(particles[0].Area, 40);

  ThreeParticles(labels, particles);
  FilterParticlesBySize(labels, particles, -5, 12);  // negative minimum acts as 0
  EXPECT_EQ(LabelsOfAreas(labels), (TWordDynArray{1, 0, 2}));

  ThreeParticles(labels, particles);
  KeepLargestParticles(labels, particles, 2);
  EXPECT_EQ(LabelsOfAreas(labels), (TWordDynArray{0, 1, 2}));
  ASSERT_EQ(particles.size(), 2u);
  EXPECT_EQ(particles[0].Area, 40);
  EXPECT_EQ(particles[1].Area, 12);

  ThreeParticles(labels, particles);
  KeepLargestParticles(labels, particles, 0);  // reorder only
  EXPECT_EQ(LabelsOfAreas(labels), (TWordDynArray{3, 1, 2}));
  EXPECT_EQ(particles.size(), 3u);
}

TEST(LabellingTest, FilterErrors) {
  TWordDynArray labels;
  TParticleObjects particles;
  ThreeParticles(labels, particles);
  try {
    FilterParticlesBySize(labels, particles, 30, 10);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Size range error.");
  }
  EXPECT_EQ(particles.size(), 3u);
  TParticleObjects none;
  TWordDynArray empty;
  EXPECT_NO_THROW(FilterParticlesBySize(empty, none, 30, 10));  // nothing to filter

  TWordDynArray l{0, 1, 3};
  EXPECT_THROW(Relabel(l, {5, 6}), ELatticeError);
  Relabel(l, {5, 6, 0});
  EXPECT_EQ(l, (TWordDynArray{0, 5, 0}));
}

}  // namespace
}  // namespace orbelin
