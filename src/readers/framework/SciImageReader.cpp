#include "readers/framework/SciImageReader.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"

namespace orbelin {

namespace {

// Holds the reader's lock for a scope.
class TLockGuard {
public:
  explicit TLockGuard(const TThreadSafeObject& object) : object_(object) { object_.Lock(); }
  ~TLockGuard() { object_.Unlock(); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

private:
  const TThreadSafeObject& object_;
};

}  // namespace

TSciImageReader::TSciImageReader() = default;

TSciImageReader::~TSciImageReader() { TSciImageReader::Close(); }

int TSciImageReader::ReadersActive() const {
  TLockGuard guard(*this);
  return readersActive_;
}

void TSciImageReader::PrepareOpen(const std::string& /*fileName*/) { Close(); }

void TSciImageReader::Open(const std::string& fileName) {
  PrepareOpen(fileName);
  lastError_ = 0;
  Log("");
  try {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) {
      lastError_ = kReadHeaderFileMissing;
      RaiseErrorFmt<ESciImageReaderError>("File (%s) doesn't exists.", fileName.c_str());
    }
    stackInfo_.Origins.fill(0);
    stackInfo_.Sizes.fill(1);

    const int code = ReadHeader(fileName, stackInfo_, imageInfos_);
    lastError_ = code;
    bool consistent = false;
    if (code == kReadHeaderSuccess) {
      fileName_ = fileName;
      Log("Cannot calculate Time Interval or Plane Space.");
      int64_t product = 1;
      for (int32_t& size : stackInfo_.Sizes) {
        if (size < 1) size = 1;
        product = product * size;
        if (product > INT32_MAX) product = 0;  // an image count that does not fit is no stack
      }
      stackInfo_.ImageCount = static_cast<int32_t>(product);
      const int times = stackInfo_.Sizes[dimTime];
      if (!(stackInfo_.TimeInterval > 0)) {
        const auto& stamps = stackInfo_.TimeStamps;
        stackInfo_.TimeInterval =
            times < 2 || stamps.empty() ? 0 : (stamps.back() - stamps.front()) / (times - 1);
      }
      const int planes = stackInfo_.Sizes[dimPlane];
      if (!(stackInfo_.PlaneSpacing > 0)) {
        const auto& positions = stackInfo_.PlanePositions;
        stackInfo_.PlaneSpacing =
            planes < 2 || positions.empty() ? 0 : (positions.back() - positions.front()) / (planes - 1);
      }
      consistent = stackInfo_.ImageCount != 0 &&
                   imageInfos_.size() == static_cast<size_t>(stackInfo_.ImageCount);
      if (!consistent) lastError_ = kReadHeaderInconsistent;
    }
    if (code != kReadHeaderSuccess || !consistent) {
      const std::string step = Logger().Last();
      RaiseErrorFmt<ESciImageReaderError>("Invalid format. Cannot open file (%s). (%s)", fileName.c_str(),
                                          step.c_str());
    }

    Log("Cannot calculate Pixel bit sizes.");
    for (TImageInfo& info : imageInfos_) {
      if (info.BitsPerSample == 0) info.BitsPerSample = 8 * PixelTypeBytes(info.PixelType);
      if (info.BytesPerSample == 0) info.BytesPerSample = (info.BitsPerSample + 7) / 8;
      if (info.PixelCount == 0) {
        const int64_t count = int64_t{info.Width} * info.Height;
        info.PixelCount = count > 0 && count <= INT32_MAX ? static_cast<int32_t>(count) : 0;
      }
    }
    opened_ = true;
    lastError_ = 0;
    imageInfo_ = imageInfos_[0];
    Log("Cannot scale down.");
    Log("Cannot handle event.");
    Changed();
    Log("Succeeded.");
  } catch (...) {
    const int code = lastError_;
    Close();
    lastError_ = code;
    throw;
  }
}

void TSciImageReader::Close() {
  {
    // Running reads finish first. The lock is kept from the last check on, so
    // no read can start before the state is cleared.
    std::unique_lock<const TSciImageReader> guard(*this);
    while (readersActive_ > 0) {
      guard.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      guard.lock();
    }
    imageInfo_ = TImageInfo{};
    stackInfo_ = TStackInfo{};
    fileName_.clear();
    imageInfos_.clear();
    imageInfos_.shrink_to_fit();
    opened_ = false;
    lastError_ = 0;
    currentImage_ = 0;
    coordinate_.fill(0);
  }
  // Not under the object lock: a read takes that lock while it holds the scratch one.
  std::lock_guard<std::mutex> scratch(scratchMutex_);
  TByteDynArray().swap(storedBytes_);
  TByteDynArray().swap(componentBytes_);
}

void TSciImageReader::SetDimension(int dimension, int value, const char* rangeMessage) {
  if (!opened_) return;
  if (value < 0 || value >= stackInfo_.Sizes[dimension]) RaiseErrorFmt<ESciImageReaderError>(rangeMessage, value);
  if (coordinate_[dimension] == value) return;
  TLockGuard guard(*this);
  coordinate_[dimension] = value;
  Changed();
}

void TSciImageReader::SetTimePoint(int value) {
  SetDimension(dimTime, value, "Index of time point (%d) out of range.");
}
void TSciImageReader::SetPosition(int value) {
  SetDimension(dimPosition, value, "Index of position (%d) out of range.");
}
void TSciImageReader::SetPlane(int value) {
  SetDimension(dimPlane, value, "Index of plane (%d) out of range.");
}
void TSciImageReader::SetChannel(int value) {
  SetDimension(dimChannel, value, "Index of channel (%d) out of range.");
}

void TSciImageReader::Changed() {
  if (!opened_) RaiseError<ESciImageReaderError>("No Image file is opened.");
  currentImage_ = ImageIndexOf(coordinate_);
  DoChange();
}

void TSciImageReader::DoChange() {
  if (OnChange) OnChange(*this);
}

int TSciImageReader::ImageIndexOf(const TCoordinate& coordinate) const {
  int64_t index = coordinate[0];
  for (int i = 1; i < kDimensionCount; ++i) index = index * stackInfo_.Sizes[i] + coordinate[i];
  return static_cast<int>(index);
}

void TSciImageReader::ExtractComponent(const TByteDynArray& data, int pixelType, int rowBytes, int count,
                                       int component, TByteDynArray& dest) const {
  ExtractSamples(data, pixelType, rowBytes, count, component, dest);
}

void TSciImageReader::BeginRead() {
  TLockGuard guard(*this);
  ++readersActive_;
}

void TSciImageReader::EndRead() {
  TLockGuard guard(*this);
  if (readersActive_ > 0) --readersActive_;
}

bool TSciImageReader::ReadImage(int index, TWordDynArray& plane) {
  BeginRead();
  struct TReadBracket {
    TSciImageReader& reader;
    ~TReadBracket() { reader.EndRead(); }
  } bracket{*this};

  // An index outside the stack has no image info to read from.
  if (!opened_ || index < 0 || static_cast<size_t>(index) >= imageInfos_.size()) return false;
  const TImageInfo& info = imageInfos_[index];
  const int channels = ChannelCount() > 0 ? ChannelCount() : 1;
  const int channel = index % channels;
  int first = channel, count = 1;
  if (static_cast<size_t>(channel) < stackInfo_.ChannelGroupOf.size()) {
    const uint32_t group = stackInfo_.ChannelGroupOf[channel];
    if (group < stackInfo_.ChannelGroups.size()) {
      first = stackInfo_.ChannelGroups[group].First;
      count = stackInfo_.ChannelGroups[group].Count;
    }
  }
  try {
    const TDirectRead direct = ReadImageDirect(index, channel - first, count, plane);
    if (direct != dtNotHandled) return direct == dtRead;
  } catch (const std::exception&) {
    return false;
  }
  std::lock_guard<std::mutex> scratch(scratchMutex_);
  try {
    if (!ReadImageData(index, storedBytes_)) return false;
  } catch (const std::exception&) {
    return false;
  }
  if (count > 1) {
    ExtractComponent(storedBytes_, info.PixelType, info.RowBytes, count, channel - first, componentBytes_);
    ConvertTo16(componentBytes_, info.PixelType, plane);
  } else {
    ConvertTo16(storedBytes_, info.PixelType, plane);
  }
  return true;
}

TSciImageReader::TDirectRead TSciImageReader::ReadImageDirect(int /*index*/, int /*component*/, int /*components*/,
                                                              TWordDynArray& /*plane*/) {
  return dtNotHandled;
}

bool TSciImageReader::ReadCurrentImage(TWordDynArray& plane) {
  BeginRead();
  struct TReadBracket {
    TSciImageReader& reader;
    ~TReadBracket() { reader.EndRead(); }
  } bracket{*this};
  return ReadImage(currentImage_, plane);
}

}  // namespace orbelin
