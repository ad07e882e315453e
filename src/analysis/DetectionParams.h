#pragma once
// The fixed detection settings of each object kind, and the conversions of
// their micrometre figures into pixels.
#include <array>
#include <cstdint>

#include "document/DetectionAlgorithm.h"

namespace orbelin {

struct TDetectionParams {
  bool Smooth = false;          // 3×3 mean before background subtraction
  int32_t BackgroundSize = 0;   // µm; 0: no background subtraction
  uint8_t ThresholdMethod = 0;  // automatic threshold method number
  int32_t MorphBefore = 0;      // > 0: closing with n steps, < 0: opening with −n steps
  int32_t MorphAfter = 0;       // the same, after the particle filters
  int32_t MinArea = 0;          // 0.01 µm²
  int32_t MaxArea = 0;          // 0.01 µm²; <= 0: no limit
  int32_t KeepLargest = 0;      // keep the n largest objects; 0: all
};

// Indexed by TDetectionAlgorithm; the daNone entry is never used.
inline constexpr std::array<TDetectionParams, kDetectionAlgorithmCount> DetectionParams = {{
    {false, 0, 0, 0, 0, 0, 0, 0},
    {true, 20, 3, 0, 0, 2500, 2500000, 1},   // nucleus: Huang
    {true, 5, 18, -1, 0, 10, 500000, 1},     // centrosome: Yen
    {true, 5, 18, 0, 0, 10, 500000, 0},      // Golgi
    {true, 5, 18, -1, 0, 10, 10000, 1},      // cilium
    {true, 5, 18, -1, 0, 5, 10000, 0},       // vesicles
}};

// Pixel size assumed for images without calibration, metres.
inline constexpr double kUncalibratedPixelSize = 0.16e-6;

// The background opening radius in pixels for a pixel size in metres (<= 0:
// uncalibrated), half the feature size rounded half to even, within 8..100.
int32_t BackgroundRadius(const TDetectionParams& params, double pixelSize);

// Object size limits in pixels; Max −1 means no upper limit.
struct TAreaLimits {
  int64_t Min = 0;
  int64_t Max = -1;
};
// Uncalibrated images (pixelSize <= 0) use the stored numbers as pixel counts.
TAreaLimits AreaLimits(const TDetectionParams& params, double pixelSize);

}  // namespace orbelin
