#pragma once
// The automatic display cut-off: its range of values and the contrast menu's items.
#include <array>
#include <cstdint>

namespace orbelin {

inline constexpr double kDefaultContrast = 0.01;
inline constexpr double kFullRangeContrast = -0.001;

// Tags of the contrast items: "Full range", then "High = %g%%" with tag / 100.
// An item sets the contrast to tag / 10000.
inline constexpr std::array<int32_t, 12> kContrastItemTags = {-1, 0, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

// 1 and above become 0.999, anything negative "Full range".
double ClampContrast(double fraction);

// Index into kContrastItemTags of the item nearest to fraction (the first of equals).
int32_t NearestContrastItem(double fraction);

}  // namespace orbelin
