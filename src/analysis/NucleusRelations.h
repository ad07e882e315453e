#pragma once
// Measurements of a channel's objects against the nucleus of the same cell:
// distances to the nuclear centre and to the nearest nucleus pixel, the part
// lying on the nucleus and the share of the nuclear rim the objects cover.
#include <cstdint>
#include <vector>

#include "analysis/ObjectDetection.h"
#include "foundation/Types.h"
#include "numeric/Lattice.h"

namespace orbelin {

class TCellData;

// The distance to the nucleus of an object pixel when the cell has no nucleus: √(2^63 − 1).
inline constexpr int64_t kNoNucleusSquaredDistance = INT64_MAX;

// Built once per cell from the nucleus channel's object image (box coordinates).
struct TNucleusContext {
  bool HasNucleus = false;
  // Bounding rectangle of the nucleus pixels, inclusive; meaningful only with a nucleus.
  int32_t Left = 0, Top = 0, Right = -1, Bottom = -1;
  // The nuclear centre relative to the box.
  double CentreX = 0, CentreY = 0;
  // The one-pixel ring just outside the nucleus (8-neighbourhood) and its pixel count.
  TWordDynArray Rim;
  uint32_t RimCount = 0;
  // Nucleus pixels with a 4-neighbour outside the nucleus: the nearest nucleus
  // pixel to any point outside it is one of them.
  TPoints Border;

  TWordDynArray Nucleus;  // 65535 on nucleus pixels
  TLattice Work;
};

// nucleusImage is the nucleus channel's object image over box; centroid its
// Centroid entry in image pixels.
void PrepareNucleus(TNucleusContext& nucleus, const TWordDynArray& nucleusImage, const TCellBox& box,
                    const TPointF& centroid);

// Fills channel c's nuclear-centre and nucleus distances, SizeOnNucleus,
// SignalOnNucleus and CoverageAngle; ObjectSize[c] and TotalSignal[c] must
// already be those of objectImage.
void RelateToNucleus(const TNucleusContext& nucleus, const TWordDynArray& nucleusImage,
                     const TWordDynArray& objectImage, const TCellBox& box, TCellData& data, int32_t c);

// The smallest squared distance from (x, y) to a nucleus pixel inside the
// nucleus rectangle, by searching all of it; kNoNucleusSquaredDistance
// without a nucleus. The reference of the faster search RelateToNucleus uses.
int64_t NucleusSquaredDistanceBruteForce(const TNucleusContext& nucleus,
                                         const TWordDynArray& nucleusImage, int32_t boxWidth,
                                         int32_t x, int32_t y);

}  // namespace orbelin
