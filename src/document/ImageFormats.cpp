#include "document/ImageFormats.h"

#include <exception>

#include "document/FrameworkPlaneReaders.h"
#include "foundation/Stream.h"
#include "readers/framework/ReaderRegistry.h"
#include "readers/tiff/TiffImage.h"

namespace orbelin {

namespace {

// A file that cannot even be opened counts as one the TIFF reader declines.
bool ReadTiffFile(const std::string& fileName, int32_t index, TWordDynArray& plane, int32_t& width,
                  int32_t& height, int32_t& planeCount, double& pixelSize) {
  plane.clear();
  try {
    TFileStream stream(fileName);
    return ReadTiffPlane(stream, index, plane, width, height, planeCount, pixelSize);
  } catch (const std::exception&) {
    plane.clear();
    return false;
  }
}

const TPlaneReaderClass* RegisteredReaderFor(const std::string& fileName) {
  const TReaderClass* readerClass = ReaderClassForFile(fileName);
  return readerClass ? &PlaneReaderClassOf(*readerClass) : nullptr;
}

}  // namespace

const TImageFormats& DefaultImageFormats() {
  static const TImageFormats formats = [] {
    TImageFormats result;
    result.ReadTiff = ReadTiffFile;
    result.ChooseReader = RegisteredReaderFor;
    return result;
  }();
  return formats;
}

}  // namespace orbelin
