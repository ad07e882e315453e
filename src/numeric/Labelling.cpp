#include "numeric/Labelling.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "foundation/Exceptions.h"
#include "numeric/Queue2D.h"

namespace orbelin {

namespace {

constexpr uint32_t kMaxLabel = 65535;

// Index of the first non-zero value at or after p, or n.
size_t NextNonZero(const uint16_t* values, size_t p, size_t n) {
  // Background dominates: skip four zeros at a time.
  while (p + 4 <= n) {
    uint64_t word;
    std::memcpy(&word, values + p, sizeof word);
    if (word != 0) break;
    p += 4;
  }
  while (p < n && values[p] == 0) ++p;
  return p;
}

// Breadth-first 4-connected fill from the seed, which is the particle's first
// pixel in scan order; the particle's sums are taken as the pixels are popped.
TParticleObject FloodFill(uint16_t* labels, const uint16_t* values, int32_t w, int32_t h,
                          int32_t seedX, int32_t seedY, uint16_t label, TQueue2DObj& queue) {
  TParticleObject p{};
  size_t firstIndex = std::numeric_limits<size_t>::max();  // smallest index except 0
  const size_t width = size_t(w);
  queue.Clear();
  labels[size_t(seedY) * width + size_t(seedX)] = label;
  queue.Push(seedX, seedY);
  while (queue.Count() > 0) {
    const TPoint q = queue.Pop();
    const size_t i = size_t(q.y) * width + size_t(q.x);
    const uint64_t v = values[i];
    ++p.Area;
    p.SumX += q.x;
    p.SumY += q.y;
    p.SumValue += v;
    p.SumValueX += int64_t(v) * q.x;
    p.SumValueY += int64_t(v) * q.y;
    if (q.y == 0 || q.y == h - 1) {
      p.BorderPixels += (q.y == 0) + (q.y == h - 1);
    } else {
      p.BorderPixels += (q.x == 0) + (q.x == w - 1);
    }
    if (i != 0 && i < firstIndex) firstIndex = i;

    auto visit = [&](size_t j, int32_t u, int32_t vY) {
      if (values[j] != 0 && labels[j] == 0) {
        labels[j] = label;
        queue.Push(u, vY);
      }
    };
    if (q.x > 0) visit(i - 1, q.x - 1, q.y);
    if (q.x < w - 1) visit(i + 1, q.x + 1, q.y);
    if (q.y > 0) visit(i - width, q.x, q.y - 1);
    if (q.y < h - 1) visit(i + width, q.x, q.y + 1);
  }
  // The first pixel in scan order, passing over (0, 0): the seed unless the
  // seed is (0, 0); then the particle's next pixel in scan order, if any.
  if (seedX != 0 || seedY != 0) {
    p.FirstX = seedX;
    p.FirstY = seedY;
  } else if (firstIndex != std::numeric_limits<size_t>::max()) {
    p.FirstX = int32_t(firstIndex % width);
    p.FirstY = int32_t(firstIndex / width);
  }
  return p;
}

}  // namespace

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

  TQueue2DObj queue;
  const uint16_t* v = values.data();
  uint16_t* l = labels.data();
  for (size_t p = NextNonZero(v, 0, n); p < n; p = NextNonZero(v, p + 1, n)) {
    if (l[p] != 0) continue;
    if (particles.size() == kMaxLabel)
      RaiseErrorFmt<ELatticeError>("Too many particles: the label image holds at most %u.", kMaxLabel);
    const auto label = uint16_t(particles.size() + 1);
    particles.push_back(FloodFill(l, v, width, height, int32_t(p % size_t(width)),
                                  int32_t(p / size_t(width)), label, queue));
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
