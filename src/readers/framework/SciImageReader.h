#pragma once
// The abstract microscope-file reader: describes a file as a stack (sizes,
// channels, positions, per-image infos) and delivers any image of it as a
// plane of unsigned 16-bit samples. Concrete readers supply the header parser
// and the raw bytes of one image; de-interleaving and widening happen here.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "foundation/ThreadSafeObject.h"
#include "foundation/Types.h"
#include "readers/framework/ColorLayout.h"
#include "readers/framework/StackModel.h"

namespace orbelin {

// Codes a header parser returns and LastError holds.
constexpr int kReadHeaderSuccess = 0;
constexpr int kReadHeaderNotThisFormat = -1;
constexpr int kReadHeaderFileMissing = -10001;
constexpr int kReadHeaderInconsistent = -10003;
constexpr int kReadHeaderUnsupportedSampleSize = -10005;

// CanRead scores: 0 cannot read, larger is more confident.
constexpr int kCanReadCertain = 10000;

class TSciImageReader : public TThreadSafeObject {
public:
  using TStackInfo = orbelin::TStackInfo;
  using TImageInfo = orbelin::TImageInfo;
  using TImageInfos = orbelin::TImageInfos;
  using TChannelInfo = TReaderChannelInfo;
  using TChannelInfos = TReaderChannelInfos;
  using TOpticalInfo = orbelin::TOpticalInfo;
  using TNotifyEvent = std::function<void(TSciImageReader& sender)>;

  TSciImageReader();
  // Runs the base Close only; a subclass with tables of its own closes itself in its destructor.
  virtual ~TSciImageReader();
  TSciImageReader(const TSciImageReader&) = delete;
  TSciImageReader& operator=(const TSciImageReader&) = delete;

  // Describes the file; raises ESciImageReaderError and leaves the reader closed on failure.
  void Open(const std::string& fileName);
  virtual void Close();

  // Position setters: no effect on a closed reader; out of range raises.
  void SetTimePoint(int value);
  void SetPosition(int value);
  void SetPlane(int value);
  void SetChannel(int value);

  // The image as 16-bit samples; False (plane untouched) when its data cannot be read.
  bool ReadImage(int index, TWordDynArray& plane);
  bool ReadCurrentImage(TWordDynArray& plane);

  // A copy of channel `index`'s description; an index outside the channels gives an empty one.
  void GetChannelInfo(int index, TChannelInfo& info) const {
    const bool inside = index >= 0 && static_cast<size_t>(index) < stackInfo_.Channels.size();
    info = inside ? stackInfo_.Channels[static_cast<size_t>(index)] : TChannelInfo{};
  }

  bool Opened() const { return opened_; }
  int LastError() const { return lastError_; }
  const std::string& FileName() const { return fileName_; }
  int CurrentImage() const { return currentImage_; }
  const TCoordinate& Coordinate() const { return coordinate_; }
  int ReadersActive() const;

  int TimePointCount() const { return stackInfo_.Sizes[dimTime]; }
  int PositionCount() const { return stackInfo_.Sizes[dimPosition]; }
  int PlaneCount() const { return stackInfo_.Sizes[dimPlane]; }
  int ChannelCount() const { return stackInfo_.Sizes[dimChannel]; }
  int Width() const { return imageInfo_.Width; }
  int Height() const { return imageInfo_.Height; }
  float PixelWidth() const { return imageInfo_.PixelWidth; }
  int PixelCount() const { return imageInfo_.PixelCount; }
  int BitsPerSample() const { return imageInfo_.BitsPerSample; }
  int BytesPerSample() const { return imageInfo_.BytesPerSample; }
  int SignificantBits() const { return imageInfo_.SignificantBits; }

  const TStackInfo& StackInfo() const { return stackInfo_; }
  const TImageInfos& ImageInfos() const { return imageInfos_; }
  const TImageInfo& ImageInfo() const { return imageInfo_; }

  TNotifyEvent OnChange;

  // The row-major index over all 16 dimensions, dimension 0 slowest.
  virtual int ImageIndexOf(const TCoordinate& coordinate) const;
  // Takes component `component` of `count` interleaved samples per pixel out of `data`.
  virtual void ExtractComponent(const TByteDynArray& data, int pixelType, int rowBytes, int count,
                                int component, TByteDynArray& dest) const;

protected:
  virtual void PrepareOpen(const std::string& fileName);
  // 0 on success, otherwise a failure code (kReadHeader...). Writes a log line before each step that may fail.
  virtual int ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) = 0;
  // The raw stored bytes of image `index`; False when they cannot be read.
  virtual bool ReadImageData(int index, TByteDynArray& data) = 0;
  // A shortcut past the stored-bytes buffer: a reader that can put the 16-bit
  // samples of image `index` (component `component` of the `components`
  // channels sharing its stored pixels) straight into the plane does so and
  // says dtRead (or dtFailed); dtNotHandled (the default) goes through ReadImageData.
  enum TDirectRead { dtNotHandled, dtRead, dtFailed };
  virtual TDirectRead ReadImageDirect(int index, int component, int components, TWordDynArray& plane);
  virtual void Changed();
  virtual void DoChange();

private:
  void SetDimension(int dimension, int value, const char* rangeMessage);
  void BeginRead();
  void EndRead();

  std::string fileName_;
  bool opened_ = false;
  int lastError_ = 0;
  int currentImage_ = 0;
  TCoordinate coordinate_{};
  int readersActive_ = 0;
  TImageInfo imageInfo_;
  TStackInfo stackInfo_;
  TImageInfos imageInfos_;
  // The stored bytes of the image being read and its extracted component. They
  // keep their buffers from one read to the next, so reading a file's planes
  // one after another faults in no fresh pages; concurrent reads take turns.
  std::mutex scratchMutex_;
  TByteDynArray storedBytes_;
  TByteDynArray componentBytes_;
};

// Converts the raw bytes of an image of `pixelType` to 16-bit samples:
// 8-bit widened, 16-bit copied, wider and floating types stretched from their
// minimum–maximum range. The result has data.size() / sample width samples.
void ConvertTo16(const TByteDynArray& data, int pixelType, TWordDynArray& plane);

// Free form of the de-interleaving the reader offers as a virtual operation.
void ExtractSamples(const TByteDynArray& data, int pixelType, int rowBytes, int count, int component,
                    TByteDynArray& dest);

}  // namespace orbelin
