#pragma once
// Detection and measurement of the objects of one channel inside one cell:
// automatic threshold over the cell's pixels, morphological clean-up,
// connected particles with size and count filters, then pixel count, total
// signal, plain and intensity-weighted centres and distances to the cell
// outline and centre.
#include <array>
#include <cstdint>
#include <memory>

#include "analysis/DetectionParams.h"
#include "foundation/Types.h"
#include "numeric/Labelling.h"
#include "numeric/Lattice.h"

namespace orbelin {

class TCellData;

// The cell's box in the image: left and top inclusive, width × height pixels.
struct TCellBox {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  size_t Count() const { return static_cast<size_t>(Width) * static_cast<size_t>(Height); }
};

// Everything a detection reads about the cell and the image.
struct TCellContext {
  TCellBox Box;
  const uint8_t* CellMask = nullptr;  // Box.Count() bytes, non-zero inside the cell
  TPoint Centre;                      // cell centre, image pixels
  const TPoints* Outline = nullptr;   // cell outline, image pixels
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  double PixelSize = 0;               // channel 0's, metres; <= 0 uncalibrated
};

// Work storage reused by every detection of a frame analysis.
class TDetectionWork {
public:
  TDetectionWork();
  ~TDetectionWork();

  TLattice B, E, F;
  TWordDynArray Binary;
  TWordDynArray Labels;
  TParticleObjects Particles;
  // One bin per 16-bit value, all zero between detections.
  std::unique_ptr<std::array<uint32_t, 65536>> Histogram;
};

// Detects channel c's objects: objectImage becomes the box-sized image of the
// processed plane's intensities on object pixels (0 elsewhere), the cell's
// per-channel entries are filled, and the object pixels are set in maskPlane
// (rows of (image width + 15) / 16 words). The cell's arrays must already hold
// channel c. Planes whose sizes do not match the image raise EMathError.
void DetectObjects(TDetectionWork& work, const TCellContext& cell, const TDetectionParams& params,
                   const TWordDynArray& processedPlane, TWordDynArray& maskPlane,
                   TWordDynArray& objectImage, TCellData& data, int32_t c);

// The threshold the detector uses for a histogram of the cell's pixels
// (bin 0 already cleared): the method's on at most 2^8 bins, else the mean
// threshold, else 1.
int32_t DetectionThreshold(const std::array<uint32_t, 65536>& histogram, int method);

}  // namespace orbelin
