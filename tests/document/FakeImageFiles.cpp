#include "FakeImageFiles.h"

#include <stdexcept>

namespace orbelin::test {

namespace {

class TFakeReader final : public TPlaneReader {
public:
  TFakeReader(const std::map<std::string, TFakeImage>& images, std::shared_ptr<int> opens)
      : images_(images), opens_(std::move(opens)) {}

  void Open(const std::string& fileName) override {
    ++*opens_;
    auto found = images_.find(fileName);
    if (found == images_.end()) throw std::runtime_error("not a fake file");
    image_ = &found->second;
  }

  TFileDescription Describe() const override {
    TFileDescription description;
    description.Width = image_->Width;
    description.Height = image_->Height;
    description.PlaneCount = 1;
    description.TimePointCount = 1;
    description.PositionCount = static_cast<int32_t>(image_->Planes.size());
    description.PixelWidth = image_->PixelSize;
    description.SignificantBits = image_->SignificantBits;
    description.BitsPerSample = image_->BitsPerSample;
    description.ChannelNames = image_->ChannelNames;
    return description;
  }

  void ReadPlane(int32_t position, int32_t channel, TWordDynArray& plane) override {
    plane = image_->Planes.at(static_cast<size_t>(position)).at(static_cast<size_t>(channel));
  }

private:
  const std::map<std::string, TFakeImage>& images_;
  std::shared_ptr<int> opens_;
  const TFakeImage* image_ = nullptr;
};

}  // namespace

TWordDynArray FilledPlane(const TFakeImage& image, uint16_t value) {
  if (image.Width <= 0 || image.Height <= 0) return {};
  return TWordDynArray(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height), value);
}

TFakeImageFiles::TFakeImageFiles() {
  readerClass_.Name = "Fake";
  readerClass_.CanRead = [](const std::string&) { return 0; };
  readerClass_.Create = [this] {
    ++*created_;
    return std::make_unique<TFakeReader>(images_, opens_);
  };
  formats_.ChooseReader = [this](const std::string& fileName) -> const TPlaneReaderClass* {
    return fileName.ends_with(".czi") ? &readerClass_ : nullptr;
  };
  formats_.ReadTiff = [this](const std::string& fileName, int32_t index, TWordDynArray& plane, int32_t& width,
                             int32_t& height, int32_t& planeCount, double& pixelSize) {
    plane.clear();
    auto found = images_.find(fileName);
    if (found == images_.end() || viaReader_[fileName]) return false;
    const TFakeImage& image = found->second;
    width = image.Width;
    height = image.Height;
    planeCount = static_cast<int32_t>(image.Planes.size());
    pixelSize = image.PixelSize;
    if (index < 0) return true;
    if (index >= planeCount || image.Planes[static_cast<size_t>(index)].empty()) return false;
    plane = image.Planes[static_cast<size_t>(index)][0];
    return true;
  };
}

std::string TFakeImageFiles::AddTiff(const std::string& name, const TFakeImage& image) {
  const std::string path = dir_.File(name);
  WriteFile(path, {});
  images_[path] = image;
  viaReader_[path] = false;
  return path;
}

std::string TFakeImageFiles::AddReaderFile(const std::string& name, const TFakeImage& image) {
  std::string path = AddTiff(name, image);
  viaReader_[path] = true;
  return path;
}

std::string TFakeImageFiles::AddJunk(const std::string& name) {
  const std::string path = dir_.File(name);
  WriteFile(path, {1, 2, 3});
  return path;
}

}  // namespace orbelin::test
