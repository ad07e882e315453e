#include "analysis/NucleusRelations.h"

#include <algorithm>
#include <cmath>

#include "analysis/CellData.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"
#include "numeric/Morphology.h"
#include "numeric/StructureElement.h"

namespace orbelin {

namespace {

int64_t NearestBorderSquaredDistance(const TPoints& border, int32_t x, int32_t y) {
  int64_t best = kNoNucleusSquaredDistance;
  for (const TPoint& p : border) {
    const int64_t dx = p.x - x, dy = p.y - y;
    best = std::min(best, dx * dx + dy * dy);
  }
  return best;
}

}  // namespace

void PrepareNucleus(TNucleusContext& nucleus, const TWordDynArray& nucleusImage, const TCellBox& box,
                    const TPointF& centroid) {
  if (nucleusImage.size() != box.Count()) RaiseError<EMathError>("Arrays have different sizes.");
  const int32_t w = box.Width, h = box.Height;
  nucleus.HasNucleus = false;
  nucleus.Left = w, nucleus.Top = h, nucleus.Right = -1, nucleus.Bottom = -1;
  nucleus.Border.clear();
  auto at = [&](int32_t x, int32_t y) {
    return nucleusImage[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
  };
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      if (at(x, y) == 0) continue;
      nucleus.HasNucleus = true;
      nucleus.Left = std::min(nucleus.Left, x);
      nucleus.Right = std::max(nucleus.Right, x);
      nucleus.Top = std::min(nucleus.Top, y);
      nucleus.Bottom = std::max(nucleus.Bottom, y);
      const bool inner = x > 0 && x + 1 < w && y > 0 && y + 1 < h && at(x - 1, y) != 0 &&
                         at(x + 1, y) != 0 && at(x, y - 1) != 0 && at(x, y + 1) != 0;
      if (!inner) nucleus.Border.push_back({x, y});
    }
  if (!nucleus.HasNucleus) nucleus.Left = 0, nucleus.Top = 0;
  nucleus.CentreX = static_cast<double>(centroid.x) - box.Left;
  nucleus.CentreY = static_cast<double>(centroid.y) - box.Top;

  // Rim: the square dilation of the nucleus minus the nucleus.
  BoolOf(nucleus.Nucleus, nucleusImage);
  TLattice source;
  source.Attach(nucleus.Nucleus, w, h);
  Dilate(nucleus.Work, source, SquareElement);
  AssignCopy(nucleus.Rim, nucleus.Work.Values());
  SubtractSat(nucleus.Rim, nucleus.Nucleus);
  nucleus.RimCount = static_cast<uint32_t>(static_cast<int64_t>(nucleus.Rim.size()) - CountEqual(nucleus.Rim, 0));
}

int64_t NucleusSquaredDistanceBruteForce(const TNucleusContext& nucleus,
                                         const TWordDynArray& nucleusImage, int32_t boxWidth,
                                         int32_t x, int32_t y) {
  if (!nucleus.HasNucleus) return kNoNucleusSquaredDistance;
  int64_t best = kNoNucleusSquaredDistance;
  for (int32_t v = nucleus.Top; v <= nucleus.Bottom; ++v)
    for (int32_t u = nucleus.Left; u <= nucleus.Right; ++u) {
      if (nucleusImage[static_cast<size_t>(v) * static_cast<size_t>(boxWidth) + static_cast<size_t>(u)] == 0)
        continue;
      const int64_t dx = u - x, dy = v - y;
      best = std::min(best, dx * dx + dy * dy);
      if (best == 0) return 0;
    }
  return best;
}

void RelateToNucleus(const TNucleusContext& nucleus, const TWordDynArray& nucleusImage,
                     const TWordDynArray& objectImage, const TCellBox& box, TCellData& data, int32_t c) {
  if (nucleusImage.size() != box.Count() || objectImage.size() != box.Count() ||
      nucleus.Rim.size() != box.Count())
    RaiseError<EMathError>("Arrays have different sizes.");
  double sumD1 = 0, sumVD1 = 0, sumD2 = 0, sumVD2 = 0;
  uint32_t sizeOn = 0, signalOn = 0, covered = 0;
  for (int32_t y = 0; y < box.Height; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(box.Width);
    for (int32_t x = 0; x < box.Width; ++x) {
      const size_t i = row + static_cast<size_t>(x);
      const uint16_t v = objectImage[i];
      if (v == 0) continue;
      const double ex = x - nucleus.CentreX, ey = y - nucleus.CentreY;
      const double d1 = std::sqrt(ex * ex + ey * ey);
      const bool onNucleus = nucleusImage[i] != 0;
      const int64_t squared = onNucleus ? 0
                              : nucleus.HasNucleus ? NearestBorderSquaredDistance(nucleus.Border, x, y)
                                                   : kNoNucleusSquaredDistance;
      const double d2 = std::sqrt(static_cast<double>(squared));
      sumD1 += d1;
      sumVD1 += v * d1;
      sumD2 += d2;
      sumVD2 += v * d2;
      if (onNucleus) {
        sizeOn += 1;
        signalOn += v;  // wraps, as the stored 32-bit figure does
      }
      if (nucleus.Rim[i] != 0) covered += 1;
    }
  }
  const uint32_t size = data.ObjectSize[c];
  const uint64_t total = data.TotalSignal[c];
  data.MeanNuclearCenterDistance[c] = size > 0 ? sumD1 / size : 0;
  data.MeanNucleusDistance[c] = size > 0 ? sumD2 / size : 0;
  data.SignalNuclearCenterDistance[c] = total > 0 ? sumVD1 / static_cast<double>(total) : 0;
  data.SignalNucleusDistance[c] = total > 0 ? sumVD2 / static_cast<double>(total) : 0;
  data.SizeOnNucleus[c] = sizeOn;
  data.SignalOnNucleus[c] = signalOn;
  data.CoverageAngle[c] = nucleus.RimCount != 0 ? static_cast<double>(covered) / nucleus.RimCount * 360 : 0;
}

}  // namespace orbelin
