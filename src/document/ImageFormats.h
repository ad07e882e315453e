#pragma once
// How the image set reaches pixels: the function-style TIFF/STK reader and the
// reader classes for the container formats. The image set only talks to this
// seam, so each format plugs in without touching the opening logic, and tests
// can put simple fakes in its place.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Types.h"

namespace orbelin {

// What a reader tells about an opened file; time point 0 and Z plane 0 of
// each position are the planes the image set shows.
struct TFileDescription {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PlaneCount = 0;
  int32_t PositionCount = 0;
  int32_t TimePointCount = 0;
  double PixelWidth = 0;  // metres per pixel, 0 when unknown
  int32_t SignificantBits = 0;
  int32_t BitsPerSample = 0;
  std::vector<std::string> ChannelNames;
};

// One reader object kept open between plane loads.
class TPlaneReader {
public:
  virtual ~TPlaneReader() = default;
  // Raises when the file cannot be opened as this format.
  virtual void Open(const std::string& fileName) = 0;
  virtual TFileDescription Describe() const = 0;
  // Reads time point 0, Z plane 0 of a position and channel as width × height samples.
  virtual void ReadPlane(int32_t position, int32_t channel, TWordDynArray& plane) = 0;
};

// A reader class: the identity stored with each channel, its confidence test
// and its factory.
struct TPlaneReaderClass {
  std::string Name;
  // 0 = cannot read, larger = more confident.
  std::function<int(const std::string& fileName)> CanRead;
  std::function<std::unique_ptr<TPlaneReader>()> Create;
};

// The TIFF/STK function: index < 0 only describes the file. Returns false when
// the file is not accepted or the plane cannot be read; pixelSize is in micrometres.
using TTiffPlaneFunction =
    std::function<bool(const std::string& fileName, int32_t index, TWordDynArray& plane, int32_t& width,
                       int32_t& height, int32_t& planeCount, double& pixelSize)>;

// The reader class for a file the TIFF/STK function declined, or null when none reads it.
using TReaderChoice = std::function<const TPlaneReaderClass*(const std::string& fileName)>;

struct TImageFormats {
  TTiffPlaneFunction ReadTiff;
  TReaderChoice ChooseReader;
};

// The formats of the program: the TIFF/STK function first, then the reader
// registry's choice by extension (ND2, CZI, else whatever a registered fallback
// such as the common-picture reader accepts).
const TImageFormats& DefaultImageFormats();

}  // namespace orbelin
