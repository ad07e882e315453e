#include "analysis/ObjectDetection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/AlternatingMorphology.h"
#include "analysis/CellData.h"
#include "analysis/OutlineDistance.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"
#include "numeric/AutoThreshold.h"

namespace orbelin {

namespace {

// m > 0: closing with m steps; m < 0: opening with −m steps. The result
// replaces the binary image.
void ApplyMorphology(TDetectionWork& work, const TCellBox& box, int32_t m) {
  if (m == 0) return;
  work.B.Attach(work.Binary, box.Width, box.Height);
  if (m > 0)
    AlternatingClosing(work.E, work.B, m, work.F);
  else
    AlternatingOpening(work.E, work.B, -m, work.F);
  CopyWords(work.Binary.data(), work.E.Pixels(), work.Binary.size());
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

void SetMaskBits(TWordDynArray& maskPlane, const TWordDynArray& binary, const TCellBox& box,
                 int32_t imageWidth) {
  const size_t wordsPerRow = (static_cast<size_t>(imageWidth) + 15) / 16;
  for (int32_t y = 0; y < box.Height; ++y) {
    const uint16_t* row = binary.data() + static_cast<size_t>(y) * static_cast<size_t>(box.Width);
    uint16_t* words = maskPlane.data() + static_cast<size_t>(box.Top + y) * wordsPerRow;
    for (int32_t x = 0; x < box.Width; ++x)
      if (row[x] != 0) {
        const int32_t ix = box.Left + x;
        words[ix / 16] = static_cast<uint16_t>(words[ix / 16] | (1u << (ix % 16)));
      }
  }
}

}  // namespace

TDetectionWork::TDetectionWork() : Histogram(std::make_unique<std::array<uint32_t, 65536>>()) {
  Histogram->fill(0);
}

TDetectionWork::~TDetectionWork() = default;

int32_t DetectionThreshold(const std::array<uint32_t, 65536>& histogram, int method) {
  // The methods and the reduction are not meant for an empty histogram.
  if (FirstNonZero(histogram.data(), 65536) < 0) return 1;
  int t = AutoThreshold(ThresholdBits, histogram, method);
  if (t < 0) t = AutoThreshold(0, histogram, kThresholdMean);
  if (t < 0) t = 1;
  return t;
}

void DetectObjects(TDetectionWork& work, const TCellContext& cell, const TDetectionParams& params,
                   const TWordDynArray& processedPlane, TWordDynArray& maskPlane,
                   TWordDynArray& objectImage, TCellData& data, int32_t c) {
  const TCellBox& box = cell.Box;
  const size_t imageCount = static_cast<size_t>(cell.ImageWidth) * static_cast<size_t>(cell.ImageHeight);
  const size_t wordsPerRow = (static_cast<size_t>(cell.ImageWidth) + 15) / 16;
  if (processedPlane.size() != imageCount ||
      maskPlane.size() != wordsPerRow * static_cast<size_t>(cell.ImageHeight))
    RaiseError<EMathError>("Arrays have different sizes.");
  const size_t count = box.Count();

  // 1. The processed intensities of the cell's pixels.
  objectImage.resize(count);
  for (int32_t y = 0; y < box.Height; ++y) {
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(box.Width);
    const uint16_t* src = processedPlane.data() +
                          static_cast<size_t>(box.Top + y) * static_cast<size_t>(cell.ImageWidth) +
                          static_cast<size_t>(box.Left);
    const uint8_t* inside = cell.CellMask + at;
    uint16_t* dest = objectImage.data() + at;
    for (int32_t x = 0; x < box.Width; ++x) dest[x] = inside[x] != 0 ? src[x] : 0;
  }

  // 2-3. Threshold over the non-zero pixels of the cell.
  auto& histogram = *work.Histogram;
  AddToHistogram(histogram.data(), objectImage.data(), count);
  histogram[0] = 0;
  const int32_t t = DetectionThreshold(histogram, params.ThresholdMethod);
  for (uint16_t v : objectImage) histogram[v] = 0;

  // 4. Binary image: set where the intensity is at least t. Pixels outside
  // the cell are 0 and stay background even for a threshold of 0.
  ThresholdAbove(work.Binary, objectImage, static_cast<uint16_t>(std::clamp(t - 1, 0, 65535)));

  // 5-9. Clean-up, particles, size and count filters.
  ApplyMorphology(work, box, params.MorphBefore);
  LabelParticles(work.Labels, work.Particles, work.Binary, box.Width);
  const TAreaLimits limits = AreaLimits(params, cell.PixelSize);
  if (limits.Min > 0 && limits.Max > 0)
    FilterParticlesBySize(work.Labels, work.Particles, ClampToInt32(limits.Min), ClampToInt32(limits.Max));
  if (params.KeepLargest > 0) KeepLargestParticles(work.Labels, work.Particles, params.KeepLargest);

  // 10. Clean-up after filtering, labelled again without filters.
  if (params.MorphAfter != 0) {
    BoolOf(work.Binary, work.Labels);
    ApplyMorphology(work, box, params.MorphAfter);
    LabelParticles(work.Labels, work.Particles, work.Binary, box.Width);
  }

  // 11-12. Keep the intensities of the surviving particles; mark them in the mask plane.
  BoolOf(work.Binary, work.Labels);
  MinInPlace(objectImage, work.Binary);
  SetMaskBits(maskPlane, work.Binary, box, cell.ImageWidth);

  // 13-14. Measurements.
  data.ObjectCount[c] = static_cast<uint32_t>(work.Particles.size());
  const int64_t cx = int64_t{cell.Centre.x} - box.Left, cy = int64_t{cell.Centre.y} - box.Top;
  uint64_t n = 0, sumV = 0;
  int64_t sumX = 0, sumY = 0, sumVX = 0, sumVY = 0;
  double sumDc = 0, sumVDc = 0, sumDb = 0, sumVDb = 0;
  TOutlineDistance outlineDistance(*cell.Outline);
  for (int32_t y = 0; y < box.Height; ++y) {
    const uint16_t* row = objectImage.data() + static_cast<size_t>(y) * static_cast<size_t>(box.Width);
    for (int32_t x = 0; x < box.Width; ++x) {
      const uint16_t v = row[x];
      if (v == 0) continue;
      n += 1;
      sumX += x;
      sumY += y;
      sumV += v;
      sumVX += int64_t{v} * x;
      sumVY += int64_t{v} * y;
      const int64_t ddx = x - cx, ddy = y - cy;
      const double dc = std::sqrt(static_cast<double>(ddx * ddx + ddy * ddy));
      const double db = outlineDistance(x + box.Left, y + box.Top);
      sumDc += dc;
      sumVDc += v * dc;
      sumDb += db;
      sumVDb += v * db;
    }
  }
  data.ObjectSize[c] = static_cast<uint32_t>(n);
  data.TotalSignal[c] = sumV;
  if (n > 0) {
    const double dn = static_cast<double>(n);
    data.Centroid[c] = {static_cast<float>(static_cast<double>(sumX) / dn + box.Left),
                        static_cast<float>(static_cast<double>(sumY) / dn + box.Top)};
    data.MeanCenterDistance[c] = sumDc / dn;
    data.MeanBoundaryDistance[c] = sumDb / dn;
  } else {
    data.Centroid[c] = {};
    data.MeanCenterDistance[c] = 0;
    data.MeanBoundaryDistance[c] = 0;
  }
  if (sumV > 0) {
    const double dv = static_cast<double>(sumV);
    data.SignalCentroid[c] = {static_cast<float>(static_cast<double>(sumVX) / dv + box.Left),
                              static_cast<float>(static_cast<double>(sumVY) / dv + box.Top)};
    data.SignalCenterDistance[c] = sumVDc / dv;
    data.SignalBoundaryDistance[c] = sumVDb / dv;
  } else {
    data.SignalCentroid[c] = {};
    data.SignalCenterDistance[c] = 0;
    data.SignalBoundaryDistance[c] = 0;
  }
}

}  // namespace orbelin
