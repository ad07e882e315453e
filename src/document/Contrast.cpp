#include "document/Contrast.h"

#include <cmath>

namespace orbelin {

double ClampContrast(double fraction) {
  if (std::isnan(fraction)) return kDefaultContrast;
  if (fraction >= 1) return 0.999;
  if (fraction < 0) return kFullRangeContrast;
  return fraction;
}

int32_t NearestContrastItem(double fraction) {
  int32_t best = 0;
  double bestDistance = std::fabs(kContrastItemTags[0] / 10000.0 - fraction);
  for (size_t i = 1; i < kContrastItemTags.size(); ++i) {
    const double distance = std::fabs(kContrastItemTags[i] / 10000.0 - fraction);
    if (distance < bestDistance) {
      best = static_cast<int32_t>(i);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace orbelin
