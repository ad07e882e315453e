#include "analysis/Mean3x3.h"

#include <vector>

#include "foundation/Exceptions.h"

namespace orbelin {

namespace {

// One output row from its column sums, each covering `rows` source rows.
// The interior divides by a constant so that the division becomes a multiply.
template <uint32_t kRows>
void MeanRow(uint16_t* out, const uint32_t* columns, int32_t width) {
  if (width == 1) {
    out[0] = static_cast<uint16_t>(columns[0] / kRows);
    return;
  }
  out[0] = static_cast<uint16_t>((columns[0] + columns[1]) / (2 * kRows));
  for (int32_t x = 1; x + 1 < width; ++x)
    out[x] = static_cast<uint16_t>((columns[x - 1] + columns[x] + columns[x + 1]) / (3 * kRows));
  out[width - 1] = static_cast<uint16_t>((columns[width - 2] + columns[width - 1]) / (2 * kRows));
}

}  // namespace

void Mean3x3(TWordDynArray& dest, const TWordDynArray& src, int32_t width, int32_t height) {
  if (width < 0 || height < 0 || src.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    RaiseError<EMathError>("Arrays have different sizes.");
  dest.resize(src.size());
  if (src.empty()) return;
  const size_t w = static_cast<size_t>(width);
  std::vector<uint32_t> columns(w);
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* row = src.data() + static_cast<size_t>(y) * w;
    const uint16_t* above = y > 0 ? row - w : nullptr;
    const uint16_t* below = y + 1 < height ? row + w : nullptr;
    if (above && below)
      for (size_t x = 0; x < w; ++x) columns[x] = uint32_t{above[x]} + row[x] + below[x];
    else if (above || below)
      for (size_t x = 0; x < w; ++x) columns[x] = uint32_t{(above ? above : below)[x]} + row[x];
    else
      for (size_t x = 0; x < w; ++x) columns[x] = row[x];
    uint16_t* out = dest.data() + static_cast<size_t>(y) * w;
    const int rows = 1 + (above != nullptr) + (below != nullptr);
    if (rows == 3)
      MeanRow<3>(out, columns.data(), width);
    else if (rows == 2)
      MeanRow<2>(out, columns.data(), width);
    else
      MeanRow<1>(out, columns.data(), width);
  }
}

}  // namespace orbelin
