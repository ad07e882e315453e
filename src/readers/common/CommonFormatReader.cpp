#include "readers/common/CommonFormatReader.h"

#include <atomic>
#include <vector>

#include "foundation/Logger.h"
#include "readers/common/PictureBitmap.h"
#include "readers/framework/ChannelGroups.h"

namespace orbelin {

namespace {

std::atomic<uint8_t> frameDimension{fdPositions};

// Grey channels of a GIF carry this offset; reading takes the first byte of the pixel.
constexpr int kGifGreyComponent = 15;
// The fixed pixel size every picture image gets, as the other readers give it
// in metres: pictures carry no calibration, and 0.3 µm per pixel keeps areas
// and scale bars of a typical objective in a sensible range.
constexpr float kPicturePixelSize = 0.3e-6f;
// Distance between frames put into Z planes.
constexpr float kPicturePlaneStep = 0.5f;

struct TPictureChannel {
  const char* Name;
  int Component;
  int32_t Color;
};

constexpr TPictureChannel kGrey{"Gray scale", 0, 0xFFFFFF};
constexpr TPictureChannel kColorChannels[] = {
    {"Red", kRedOffset, 0xFF},
    {"Green", kGreenOffset, 0x8000},
    {"Blue", kBlueOffset, 0xFF0000},
    {"Alpha", kAlphaOffset, 0xFFFFFF},
};
constexpr TPictureChannel kBlank{"Blank", 0, 0xFFFFFF};

// One channel per component that carries information; "Blank" when none does.
std::vector<TPictureChannel> InformativeChannels(const QImage& normalised) {
  std::vector<TPictureChannel> channels;
  const int components = PictureLayoutOf(normalised).Components;
  for (const TPictureChannel& channel : kColorChannels)
    if (channel.Component < components && ComponentIsInformative(normalised, channel.Component))
      channels.push_back(channel);
  if (channels.empty()) channels.push_back(kBlank);
  return channels;
}

void SetUpStack(const std::string& fileName, const QImage& picture, const std::vector<TPictureChannel>& channels,
                const std::vector<double>& frameTimes, TStackInfo& stackInfo, TImageInfos& imageInfos) {
  const int c = static_cast<int>(channels.size());
  const int f = static_cast<int>(frameTimes.size());
  const uint8_t dimension = CommonFormatFrameDimension();

  stackInfo.Sizes[dimChannel] = c;
  stackInfo.Channels.resize(static_cast<size_t>(c));
  SetChannelCount(stackInfo, c);
  for (int group = 0; group < c; ++group) SetChannelLayout(stackInfo, group, clSingle);

  stackInfo.TimeStamps.assign(1, 0.0);
  stackInfo.TimeInterval = 0;
  stackInfo.PositionNames.SetCount(1);
  stackInfo.PositionNames[0] = "Origin";
  stackInfo.PositionXY.assign(1, TPointF{0, 0});
  stackInfo.PlanePositions.assign(1, 0.0f);
  switch (dimension) {
    case fdTimePoints:
      stackInfo.Sizes[dimTime] = f;
      stackInfo.TimeStamps = frameTimes;
      break;
    case fdPlanes:
      stackInfo.Sizes[dimPlane] = f;
      stackInfo.PlanePositions.resize(static_cast<size_t>(f));
      for (int i = 0; i < f; ++i) stackInfo.PlanePositions[static_cast<size_t>(i)] = static_cast<float>(i) * kPicturePlaneStep;
      break;
    default:
      stackInfo.Sizes[dimPosition] = f;
      stackInfo.PositionNames.SetCount(f);
      stackInfo.PositionXY.resize(static_cast<size_t>(f));
      for (int i = 0; i < f; ++i) {
        stackInfo.PositionNames[i] = "Pos " + std::to_string(i + 1);
        stackInfo.PositionXY[static_cast<size_t>(i)] = TPointF{static_cast<float>(i), 0};
      }
      break;
  }

  const bool sixteenBit = PictureLayoutOf(picture).SampleBytes == 2;
  imageInfos.assign(static_cast<size_t>(c) * static_cast<size_t>(f), TImageInfo{});
  for (int ch = 0; ch < c; ++ch) {
    TReaderChannelInfo& channel = stackInfo.Channels[static_cast<size_t>(ch)];
    channel.Name = channels[static_cast<size_t>(ch)].Name;
    channel.Color = channels[static_cast<size_t>(ch)].Color;
    for (int frame = 0; frame < f; ++frame) {
      TImageInfo& info = imageInfos[static_cast<size_t>(ch) + static_cast<size_t>(c) * static_cast<size_t>(frame)];
      info.Width = picture.width();
      info.Height = picture.height();
      info.PixelType = sixteenBit ? ptUInt16 : ptUInt8;
      info.SignificantBits = sixteenBit ? 16 : 8;
      info.RowBytes = 1;  // one component per stored sample: nothing to de-interleave
      info.PixelWidth = kPicturePixelSize;
      info.PixelHeight = kPicturePixelSize;
      info.FileName = fileName;
      info.SourcePlane = frame;
      info.Component = channels[static_cast<size_t>(ch)].Component;
      if (dimension == fdPlanes) info.StageZ = static_cast<float>(frame) * kPicturePlaneStep;
    }
  }
  NameGroupedChannels(stackInfo);
  stackInfo.LevelCount = 2;
  const int frameLevel = dimension == fdTimePoints ? dimTime : dimension == fdPlanes ? dimPlane : dimPosition;
  stackInfo.LevelTypes = {frameLevel, dimChannel};
}

}  // namespace

void SetCommonFormatFrameDimension(uint8_t dimension) { frameDimension.store(dimension); }

uint8_t CommonFormatFrameDimension() {
  const uint8_t value = frameDimension.load();
  return value <= fdPlanes ? value : static_cast<uint8_t>(fdPositions);
}

TCommonFormatReader::~TCommonFormatReader() { TCommonFormatReader::Close(); }

int TCommonFormatReader::CanRead(const std::string& fileName) {
  return RecognisePictureFile(fileName) == TPictureFormat::pfUnknown ? 0 : kCanReadCertain;
}

void TCommonFormatReader::Close() {
  TSciImageReader::Close();
  DropPicture();
}

void TCommonFormatReader::PrepareOpen(const std::string& fileName) {
  bool samePicture;
  {
    std::lock_guard guard(cacheLock_);
    samePicture = !cacheFile_.empty() && cacheFile_ == fileName;
  }
  if (samePicture)
    TSciImageReader::Close();  // the stack is described anew, the decoded picture stays
  else
    Close();
}

void TCommonFormatReader::CachePicture(const std::string& fileName, int frame, const QImage& normalised) {
  std::lock_guard guard(cacheLock_);
  cache_ = normalised;
  cacheFile_ = fileName;
  cacheFrame_ = frame;
}

void TCommonFormatReader::DropPicture() {
  std::lock_guard guard(cacheLock_);
  cache_ = QImage();
  cacheFile_.clear();
  cacheFrame_ = -1;
}

int TCommonFormatReader::ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) {
  // A reopened reader may still hold the last description; start from the empty one.
  stackInfo = TStackInfo{};
  stackInfo.Sizes.fill(1);
  imageInfos.clear();

  Log("Cannot recognise picture format.");
  const TPictureFormat format = RecognisePictureFile(fileName);
  if (format == TPictureFormat::pfUnknown) return kReadHeaderInconsistent;
  if (PictureDecoderName(format) == nullptr) {
    Log("Cannot decode metafile pictures on this system.");
    return kReadHeaderInconsistent;
  }

  Log("Cannot load picture.");
  std::vector<TPictureChannel> channels;
  std::vector<double> frameTimes;
  QImage first;
  if (format == TPictureFormat::pfGif) {
    bool grey = true;
    double time = 0;
    int width = 0, height = 0;
    bool sameSize = true;
    const int frames = DecodePictureFrames(fileName, format, -1, [&](const TPictureFrame& frame) {
      const QImage normalised = NormalisePicture(frame.Image, true);
      if (first.isNull()) {
        first = normalised;
        width = normalised.width();
        height = normalised.height();
      }
      sameSize = sameSize && normalised.width() == width && normalised.height() == height;
      grey = grey && IsGreyPicture(normalised);
      frameTimes.push_back(time);
      // A frame starts when the ones before it have been shown for their delays.
      time += frame.DelayMs / 1000.0;
      return true;
    });
    if (frames == 0 || first.isNull() || !sameSize) return kReadHeaderInconsistent;
    if (grey)
      channels = {TPictureChannel{kGrey.Name, kGifGreyComponent, kGrey.Color}};
    else
      channels.assign(std::begin(kColorChannels), std::begin(kColorChannels) + 3);
  } else {
    {
      std::lock_guard guard(cacheLock_);
      if (cacheFile_ == fileName && cacheFrame_ == 0 && !cache_.isNull()) first = cache_;
    }
    if (first.isNull()) first = NormalisePicture(DecodePictureFrame(fileName, format, 0), false);
    if (first.isNull() || PictureLayoutOf(first).Components == 0) return kReadHeaderInconsistent;
    channels = IsGreyPicture(first) ? std::vector<TPictureChannel>{kGrey} : InformativeChannels(first);
    frameTimes.assign(1, 0.0);
  }
  CachePicture(fileName, 0, first);

  Log("Cannot set up picture stack.");
  SetUpStack(fileName, first, channels, frameTimes, stackInfo, imageInfos);
  return kReadHeaderSuccess;
}

bool TCommonFormatReader::ReadImageData(int index, TByteDynArray& data) {
  const TImageInfos& infos = ImageInfos();
  if (index < 0 || static_cast<size_t>(index) >= infos.size()) return false;
  const TImageInfo& info = infos[static_cast<size_t>(index)];

  std::lock_guard guard(cacheLock_);
  if (cache_.isNull() || cacheFile_ != info.FileName || cacheFrame_ != info.SourcePlane) {
    cache_ = QImage();
    cacheFile_.clear();
    cacheFrame_ = -1;
    const TPictureFormat format = RecognisePictureFile(info.FileName);
    if (format == TPictureFormat::pfUnknown) return false;
    const QImage picture = DecodePictureFrame(info.FileName, format, info.SourcePlane);
    if (picture.isNull()) return false;
    cache_ = NormalisePicture(picture, format == TPictureFormat::pfGif);
    cacheFile_ = info.FileName;
    cacheFrame_ = info.SourcePlane;
  }
  // A file rewritten since it was described no longer matches its image infos.
  const bool sixteenBit = PictureLayoutOf(cache_).SampleBytes == 2;
  if (cache_.width() != info.Width || cache_.height() != info.Height || sixteenBit != (info.PixelType == ptUInt16))
    return false;
  const int component = info.Component == kGifGreyComponent ? 0 : info.Component;
  CopyPictureComponent(cache_, component, data);
  return !data.empty();
}

}  // namespace orbelin
