#include "analysis/CiliumLength.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace orbelin {

namespace {

// A thinning pattern over the 3×3 neighbourhood, row by row: 1 set, 0 clear,
// -1 either. The centre is always set.
using TPattern = std::array<int8_t, 9>;

constexpr std::array<TPattern, 8> kPasses = {{
    {0, 0, 0, -1, 1, -1, 1, 1, 1},
    {-1, 0, 0, 1, 1, 0, -1, 1, -1},
    {1, -1, 0, 1, 1, 0, 1, -1, 0},
    {-1, 1, -1, 1, 1, 0, -1, 0, 0},
    {1, 1, 1, -1, 1, -1, 0, 0, 0},
    {-1, 1, -1, 0, 1, 1, 0, 0, -1},
    {0, -1, 1, 0, 1, 1, 0, -1, 1},
    {0, 0, -1, 0, 1, 1, -1, 1, -1},
}};

}  // namespace

double CiliumLength(const TWordDynArray& objectImage, int32_t width) {
  if (width <= 0 || objectImage.empty()) return 0;
  const int32_t height = static_cast<int32_t>(objectImage.size() / static_cast<size_t>(width));
  int32_t left = width, top = height, right = -1, bottom = -1;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if (objectImage[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return 0;

  // The rectangle inside a clear border one pixel wide; 1 = set.
  const int32_t ww = right - left + 3, wh = bottom - top + 3;
  std::vector<uint8_t> work(static_cast<size_t>(ww) * static_cast<size_t>(wh), 0);
  auto at = [&](int32_t x, int32_t y) -> uint8_t& {
    return work[static_cast<size_t>(y) * static_cast<size_t>(ww) + static_cast<size_t>(x)];
  };
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = left; x <= right; ++x)
      at(x - left + 1, y - top + 1) =
          objectImage[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;

  // Each pass marks the matching pixels over the whole image, then clears
  // them at once; rounds repeat until one changes nothing.
  std::vector<size_t> marked;
  bool changed = true;
  while (changed) {
    changed = false;
    for (const TPattern& pattern : kPasses) {
      marked.clear();
      for (int32_t y = 1; y + 1 < wh; ++y)
        for (int32_t x = 1; x + 1 < ww; ++x) {
          if (!at(x, y)) continue;
          bool match = true;
          for (int k = 0; k < 9 && match; ++k)
            if (pattern[k] >= 0) match = at(x + k % 3 - 1, y + k / 3 - 1) == pattern[k];
          if (match) marked.push_back(static_cast<size_t>(y) * static_cast<size_t>(ww) + static_cast<size_t>(x));
        }
      for (size_t i : marked) work[i] = 0;
      if (!marked.empty()) changed = true;
    }
  }

  int64_t n = 0, d = 0;
  for (int32_t y = 0; y < wh; ++y)
    for (int32_t x = 0; x < ww; ++x) {
      if (!at(x, y)) continue;
      n += 1;
      const bool inner = x > 0 && y > 0 && x + 1 < ww && y + 1 < wh;
      if (inner && (at(x + 1, y + 1) || at(x - 1, y + 1))) d += 1;
    }
  return static_cast<double>(n) + (std::sqrt(2.0) - 1) * static_cast<double>(d);
}

}  // namespace orbelin
