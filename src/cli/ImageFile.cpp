#include "cli/ImageFile.h"

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/framework/ReaderRegistry.h"
#include "readers/tiff/TiffImage.h"

namespace orbelin::cli {

namespace {

bool DescribeTiff(const std::string& fileName, TTiffFile& tiff) {
  std::unique_ptr<TFileStream> stream;
  try {
    stream = OpenFileRead(fileName);
  } catch (const Exception&) {
    return false;
  }
  TWordDynArray plane;
  return ReadTiffPlane(*stream, -1, plane, tiff.Width, tiff.Height, tiff.PlaneCount, tiff.PixelSize);
}

}  // namespace

TImageFile OpenImageFile(const std::string& fileName) {
  TImageFile file;
  if (DescribeTiff(fileName, file.Tiff)) {
    file.IsTiff = true;
    file.ReaderName = "TIFF";
    return file;
  }
  const TReaderClass* readerClass = ReaderClassForFile(fileName);
  if (readerClass == nullptr) RaiseError<ESciImageReaderError>("not a supported image");
  file.Reader = readerClass->Create();
  file.ReaderName = readerClass->Name;
  file.Reader->Open(fileName);
  return file;
}

bool ReadTiffImage(const std::string& fileName, int index, TWordDynArray& plane, int& width, int& height) {
  std::unique_ptr<TFileStream> stream;
  try {
    stream = OpenFileRead(fileName);
  } catch (const Exception&) {
    return false;
  }
  int planeCount = 0;
  double pixelSize = 0;
  return ReadTiffPlane(*stream, index, plane, width, height, planeCount, pixelSize);
}

}  // namespace orbelin::cli
