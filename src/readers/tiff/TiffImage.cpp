#include "readers/tiff/TiffImage.h"

#include <limits>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffDirectory.h"
#include "readers/tiff/TiffPlane.h"

namespace orbelin {

namespace {

constexpr uint32_t kUnitInch = 2;
constexpr uint32_t kUnitCentimetre = 3;
constexpr double kMicrometresPerInch = 25400;
constexpr double kMicrometresPerCentimetre = 10000;

int ToInt(uint32_t value) {
  if (value > static_cast<uint32_t>(std::numeric_limits<int>::max())) RaiseError<EReadError>("Value out of range");
  return static_cast<int>(value);
}

void ReadPixelSize(const tIFDItems& first, double& pixelSize) {
  const uint32_t unit = EntryUnsignedOr(first, tagResolutionUnit, kUnitInch);
  if (unit != kUnitInch && unit != kUnitCentimetre) return;
  const tIFDItem* resolution = FindEntry(first, tagXResolution);
  if (!resolution) resolution = FindEntry(first, tagYResolution);
  const double perUnit = resolution ? EntryFloat(*resolution, 0) : 0;
  const double unitLength = unit == kUnitInch ? kMicrometresPerInch : kMicrometresPerCentimetre;
  pixelSize = perUnit == 0 ? 0 : unitLength / perUnit;
}

bool Describe(TStream& stream, int index, TWordDynArray& plane, int& width, int& height, int& planeCount,
              double& pixelSize) {
  TTiffFile file;
  if (!ReadTiffDirectories(stream, file) || file.directories.empty()) return false;
  const tIFDItems& first = file.directories.front().entries;
  if (FindEntry(first, tagLsmInformation)) return false;
  LoadTiffValues(stream, file);
  if (!IsPlainGrey(first)) return false;
  width = ToInt(EntryUnsigned(first, tagImageWidth));
  height = ToInt(EntryUnsigned(first, tagImageLength));
  ReadPixelSize(first, pixelSize);
  const tIFDItem* uic2 = FindEntry(first, tagUIC2);
  planeCount = ToInt(uic2 ? uic2->count : static_cast<uint32_t>(file.directories.size()));
  if (index < 0) return true;
  if (index >= planeCount) return false;
  const auto planeIndex = static_cast<size_t>(index);
  return uic2 ? ReadStackPlane(stream, file, planeIndex, plane) : ReadDirectoryPlane(stream, file, planeIndex, plane);
}

}  // namespace

bool ReadTiffPlane(TStream& stream, int index, TWordDynArray& plane, int& width, int& height, int& planeCount,
                   double& pixelSize) {
  // Every read is positional, so the stream position is never moved.
  plane.clear();
  try {
    if (Describe(stream, index, plane, width, height, planeCount, pixelSize)) return true;
  } catch (...) {
    // A short read, a missing tag or a value of the wrong type: the file is not readable here.
  }
  plane.clear();
  return false;
}

}  // namespace orbelin
