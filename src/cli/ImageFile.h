#pragma once
// Opening a file the way the application does: the TIFF/STK plane reader
// first, then the reader class the registry picks for the file.
#include <memory>
#include <string>

#include "foundation/Types.h"
#include "readers/framework/SciImageReader.h"

namespace orbelin::cli {

// What the TIFF/STK reader says of a file it accepts.
struct TTiffFile {
  int Width = 0;
  int Height = 0;
  int PlaneCount = 0;
  double PixelSize = 0;  // micrometres per pixel, 0 when unknown
};

struct TImageFile {
  bool IsTiff = false;
  TTiffFile Tiff;
  std::unique_ptr<TSciImageReader> Reader;  // opened; null for TIFF files
  std::string ReaderName;
};

// Describes the file; raises with the reader's message when it cannot be opened.
TImageFile OpenImageFile(const std::string& fileName);
// Reads image `index` of a TIFF/STK file; false when it cannot.
bool ReadTiffImage(const std::string& fileName, int index, TWordDynArray& plane, int& width, int& height);

}  // namespace orbelin::cli
