#include "numeric/Labelling.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "foundation/Exceptions.h"

namespace orbelin {

namespace {

constexpr uint32_t kMaxLabel = 65535;

// A horizontal run of non-zero pixels [x0, x1) of row y, with its parent in
// the union-find forest of runs. A parent always has a smaller index, so the
// root of a particle is its first run in scan order.
struct TRun {
  int32_t y;
  int32_t x0;
  int32_t x1;
  uint32_t parent;
};

// Index of the first non-zero value in [x, end), or end.
size_t SkipZeros(const uint16_t* row, size_t x, size_t end) {
  // Background dominates: step over four zeros at a time.
  while (x + 4 <= end) {
    uint64_t word;
    std::memcpy(&word, row + x, sizeof word);
    if (word != 0) break;
    x += 4;
  }
  while (x < end && row[x] == 0) ++x;
  return x;
}

// Index of the first zero value in [x, end), or end.
size_t SkipNonZeros(const uint16_t* row, size_t x, size_t end) {
  while (x < end && row[x] != 0) ++x;
  return x;
}

uint32_t FindRoot(std::vector<TRun>& runs, uint32_t i) {
  uint32_t root = i;
  while (runs[root].parent != root) root = runs[root].parent;
  while (runs[i].parent != root) {  // path compression
    const uint32_t next = runs[i].parent;
    runs[i].parent = root;
    i = next;
  }
  return root;
}

void Unite(std::vector<TRun>& runs, uint32_t a, uint32_t b) {
  a = FindRoot(runs, a);
  b = FindRoot(runs, b);
  if (a < b)
    runs[b].parent = a;
  else if (b < a)
    runs[a].parent = b;
}

// The runs of every row, each united with the runs of the row above that
// share a column (4-connectivity).
std::vector<TRun> ConnectedRuns(const uint16_t* values, int32_t w, int32_t h) {
  std::vector<TRun> runs;
  size_t previousStart = 0, previousEnd = 0;
  for (int32_t y = 0; y < h; ++y) {
    const uint16_t* row = values + size_t(y) * size_t(w);
    const size_t rowStart = runs.size();
    size_t above = previousStart;
    for (size_t x = SkipZeros(row, 0, size_t(w)); x < size_t(w);) {
      const size_t end = SkipNonZeros(row, x, size_t(w));
      const auto index = uint32_t(runs.size());
      if (runs.size() == std::numeric_limits<uint32_t>::max())
        RaiseError<ELatticeError>("Too many pixel runs in one image.");
      runs.push_back({y, int32_t(x), int32_t(end), index});
      // Runs above that end at or before x cannot touch this or later runs.
      while (above < previousEnd && size_t(runs[above].x1) <= x) ++above;
      for (size_t k = above; k < previousEnd && size_t(runs[k].x0) < end; ++k)
        Unite(runs, index, uint32_t(k));
      x = SkipZeros(row, end, size_t(w));
    }
    previousStart = rowStart;
    previousEnd = runs.size();
  }
  return runs;
}

}  // namespace

// Runs united per particle stand in for a pixel-by-pixel flood fill: the
// labels (numbered in the scan order of each particle's first pixel) and the
// sums are the same, while the image is read strictly row by row.
void LabelParticles(TWordDynArray& labels, TParticleObjects& particles, const TWordDynArray& values,
                    int32_t width) {
  if (&labels == &values) RaiseError<ELatticeError>("Labels cannot be written over their own image.");
  const size_t n = values.size();
  labels.assign(n, 0);
  particles.clear();
  if (n == 0) return;
  if (width <= 0 || n % size_t(width) != 0 ||
      n / size_t(width) > size_t(std::numeric_limits<int32_t>::max()))
    RaiseErrorFmt<ELatticeError>("Invalid width/height: %dx%d.", width,
                                 width > 0 ? int32_t(std::min<size_t>(n / size_t(width), INT32_MAX)) : 0);
  const int32_t height = int32_t(n / size_t(width));
  const uint16_t* v = values.data();
  uint16_t* l = labels.data();

  std::vector<TRun> runs = ConnectedRuns(v, width, height);
  // Parents precede their children: one forward pass resolves every root,
  // and roots come up in the scan order of the particles' first pixels.
  std::vector<uint16_t> runLabel(runs.size());
  size_t count = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const uint32_t parent = runs[i].parent;
    if (parent == i) {
      if (count == kMaxLabel)
        RaiseErrorFmt<ELatticeError>("Too many particles: the label image holds at most %u.", kMaxLabel);
      runLabel[i] = uint16_t(++count);
    } else {
      runLabel[i] = runLabel[parent];  // parent < i, already resolved
    }
  }

  particles.assign(count, TParticleObject{});
  for (size_t i = 0; i < runs.size(); ++i) {
    const TRun& r = runs[i];
    const uint16_t label = runLabel[i];
    TParticleObject& p = particles[label - 1u];
    const size_t rowOffset = size_t(r.y) * size_t(width);
    const int64_t length = r.x1 - r.x0;
    std::fill(l + rowOffset + size_t(r.x0), l + rowOffset + size_t(r.x1), label);
    // The first pixel in scan order that is not (0, 0).
    if (p.FirstX == 0 && p.FirstY == 0) {
      p.FirstX = r.x0;
      p.FirstY = r.y;
      if (r.x0 == 0 && r.y == 0 && length > 1) p.FirstX = 1;
    }
    p.Area += int32_t(length);
    p.SumX += (int64_t{r.x0} + r.x1 - 1) * length / 2;
    p.SumY += int64_t{r.y} * length;
    uint64_t sum = 0;
    int64_t sumX = 0;
    for (int32_t x = r.x0; x < r.x1; ++x) {
      const uint16_t value = v[rowOffset + size_t(x)];
      sum += value;
      sumX += int64_t{value} * x;
    }
    p.SumValue += sum;
    p.SumValueX += sumX;
    p.SumValueY += int64_t(sum) * r.y;
    if (r.y == 0 || r.y == height - 1)
      p.BorderPixels += int32_t(length) * ((r.y == 0) + (r.y == height - 1));
    else
      p.BorderPixels += (r.x0 == 0) + (r.x1 == width);
  }
}

void Relabel(TWordDynArray& labels, const TWordDynArray& map) {
  if (labels.empty()) return;
  const uint16_t highest = *std::max_element(labels.begin(), labels.end());
  if (highest > map.size())
    RaiseErrorFmt<ELatticeError>("Label %u has no entry in the relabelling map.", unsigned(highest));
  for (uint16_t& label : labels)
    if (label != 0) label = map[label - 1u];
}

void FilterParticlesBySize(TWordDynArray& labels, TParticleObjects& particles, int32_t minArea,
                           int32_t maxArea) {
  if (particles.empty()) return;
  if (maxArea == -1) maxArea = std::numeric_limits<int32_t>::max();
  if (maxArea < minArea) RaiseError<Exception>("Size range error.");
  const int32_t lowest = std::max(minArea, 0);
  TWordDynArray map(particles.size(), 0);
  size_t j = 0;
  for (size_t i = 0; i < particles.size(); ++i) {
    if (particles[i].Area < lowest || particles[i].Area > maxArea) continue;
    if (j != i) particles[j] = particles[i];
    ++j;
    map[i] = uint16_t(j);
  }
  particles.resize(j);
  Relabel(labels, map);
}

void KeepLargestParticles(TWordDynArray& labels, TParticleObjects& particles, int32_t n) {
  std::vector<size_t> order(particles.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return particles[a].Area > particles[b].Area; });
  const size_t kept = n > 0 ? std::min(order.size(), size_t(n)) : order.size();
  TParticleObjects sorted;
  sorted.reserve(kept);
  TWordDynArray map(particles.size(), 0);
  for (size_t k = 0; k < kept; ++k) {
    sorted.push_back(particles[order[k]]);
    map[order[k]] = uint16_t(k + 1);
  }
  particles = std::move(sorted);
  Relabel(labels, map);
}

}  // namespace orbelin
