#pragma once
// Image files for the document tests: real (empty) files on disk whose
// contents the fake TIFF function and the fake reader class serve from memory.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/Cell.h"
#include "document/ImageFormats.h"
#include "support/TestSupport.h"

namespace orbelin::test {

struct TFakeImage {
  int32_t Width = 4;
  int32_t Height = 3;
  double PixelSize = 0;  // micrometres for TIFF, metres for reader files
  int32_t SignificantBits = 0;
  int32_t BitsPerSample = 16;
  std::vector<std::string> ChannelNames = {""};  // reader files only
  // planes[position][channel]; a missing plane fails to read.
  std::vector<std::vector<TWordDynArray>> Planes;
};

// A plane of width × height samples, all equal to value.
TWordDynArray FilledPlane(const TFakeImage& image, uint16_t value);

class TFakeImageFiles {
public:
  TFakeImageFiles();
  // Writes an empty file called name and serves image for it through the TIFF function.
  std::string AddTiff(const std::string& name, const TFakeImage& image);
  // As AddTiff, but through the fake ".fake" reader class (extension ".czi").
  std::string AddReaderFile(const std::string& name, const TFakeImage& image);
  // A file on disk that no reader accepts.
  std::string AddJunk(const std::string& name);
  TFakeImage& Image(const std::string& path) { return images_.at(path); }

  const TImageFormats& Formats() const { return formats_; }
  const TPlaneReaderClass& ReaderClass() const { return readerClass_; }
  int ReaderOpens() const { return *opens_; }
  int ReadersCreated() const { return *created_; }
  const TempDir& Dir() const { return dir_; }

private:
  TempDir dir_;
  std::map<std::string, TFakeImage> images_;
  std::map<std::string, bool> viaReader_;
  std::shared_ptr<int> opens_ = std::make_shared<int>(0);
  std::shared_ptr<int> created_ = std::make_shared<int>(0);
  TPlaneReaderClass readerClass_;
  TImageFormats formats_;
};

}  // namespace orbelin::test

namespace orbelin::test {

// A cell with no real ROIs, for frames that must count as having cells.
class TPlainCell final : public TCellBase {
public:
  TRegionOfInterest* OutlineRoi() const override { return nullptr; }
  TRegionOfInterest* DotRoi() const override { return nullptr; }
  void ReleaseRois() override {}
};

}  // namespace orbelin::test
