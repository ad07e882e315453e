#include "analysis/DetectionParams.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbelin {

namespace {

constexpr double kAreaUnit = 1e-14;  // 0.01 µm² in m²

// Pixel limits of absurd calibrations stay representable.
int64_t ClampPixels(double pixels) {
  constexpr double kLimit = static_cast<double>(std::numeric_limits<int32_t>::max());
  return static_cast<int64_t>(std::min(pixels, kLimit));
}

}  // namespace

int32_t BackgroundRadius(const TDetectionParams& params, double pixelSize) {
  double size = pixelSize > 0 ? pixelSize : kUncalibratedPixelSize;
  double radius = std::nearbyint(params.BackgroundSize * 1e-6 / size / 2);
  return static_cast<int32_t>(std::clamp(radius, 8.0, 100.0));
}

TAreaLimits AreaLimits(const TDetectionParams& params, double pixelSize) {
  TAreaLimits limits;
  if (params.MinArea < 0)
    limits.Min = 0;
  else if (pixelSize > 0)
    limits.Min = ClampPixels(std::floor(params.MinArea * kAreaUnit / pixelSize / pixelSize));
  else
    limits.Min = params.MinArea;
  if (params.MaxArea <= 0)
    limits.Max = -1;
  else if (pixelSize > 0)
    limits.Max = ClampPixels(std::ceil(params.MaxArea * kAreaUnit / pixelSize / pixelSize));
  else
    limits.Max = params.MaxArea;
  return limits;
}

}  // namespace orbelin
