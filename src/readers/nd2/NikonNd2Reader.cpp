#include "readers/nd2/NikonNd2Reader.h"

#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"
#include "foundation/Stream.h"
#include "readers/framework/ChannelGroups.h"
#include "readers/nd2/Nd2ChunkMap.h"
#include "readers/nd2/Nd2PixelData.h"

namespace orbelin {

namespace {

constexpr int64_t kMinimumFileSize = 256;
constexpr char kBoxMapSignature[] = "LABORATORY IMAGING ND BOX MAP 00";

bool BytesAre(TStream& stream, int64_t position, const char* text, size_t length) {
  std::string bytes(length, '\0');
  return stream.ReadAt(position, bytes.data(), length) == length && std::memcmp(bytes.data(), text, length) == 0;
}

uint32_t MagicOf(TStream& stream) {
  uint32_t magic = 0;
  stream.ReadAt(0, &magic, 4);
  return magic;
}

// The JPEG 2000 box type at offset 4 ("jP  " or "jP2 "), empty otherwise.
std::string BoxType(TStream& stream) {
  std::string type(4, '\0');
  if (stream.ReadAt(4, type.data(), 4) != 4) return {};
  return type == "jP  " || type == "jP2 " ? type : std::string();
}

}  // namespace

const TReaderClass& NikonNd2ReaderClass() {
  static const TReaderClass readerClass{
      "TNikonNd2Reader", [](const std::string& fileName) { return TNikonNd2Reader::CanRead(fileName); },
      []() -> std::unique_ptr<TSciImageReader> { return std::make_unique<TNikonNd2Reader>(); }};
  return readerClass;
}

TNikonNd2Reader::~TNikonNd2Reader() { TNikonNd2Reader::Close(); }

int TNikonNd2Reader::CanRead(const std::string& fileName) {
  try {
    TFileStream stream(fileName);
    const int64_t size = stream.Size();
    if (size < kMinimumFileSize) return 0;
    if (MagicOf(stream) == kNd2ChunkMagic) {
      if (!BytesAre(stream, 16, kNd2FileSignature, 31)) return 0;
      return BytesAre(stream, size - 40, kNd2ChunkMapSignature, 31) ? kCanReadCertain : 1000;
    }
    uint32_t boxLength = 0;
    if (stream.ReadAt(0, &boxLength, 4) != 4) return 0;
    boxLength = __builtin_bswap32(boxLength);
    const std::string type = BoxType(stream);
    if (type.empty()) return 0;
    if (!BytesAre(stream, int64_t{boxLength} + 4, "ftyp", 4)) return 0;
    if (type == "jP2 ") return 1000;
    return BytesAre(stream, size - 40, kBoxMapSignature, 32) ? kCanReadCertain : 1000;
  } catch (const std::exception&) {
    return 0;
  }
}

void TNikonNd2Reader::Close() {
  TSciImageReader::Close();
  header_ = TNd2Header{};
}

int TNikonNd2Reader::ImageIndexOf(const TCoordinate& coordinate) const {
  return static_cast<int>(
      header_.ImageIndexOf(coordinate[dimPosition], coordinate[dimTime], coordinate[dimPlane], coordinate[dimChannel]));
}

void TNikonNd2Reader::Report(const std::string& text) {
  Log(text);
  if (OnReport) OnReport(text);
}

int TNikonNd2Reader::ReadHeader(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) {
  try {
    Log("Cannot open the file for reading.");
    TFileStream stream(fileName);
    if (stream.Size() < kMinimumFileSize) return kReadHeaderSuccess;  // no images: fails as inconsistent
    if (MagicOf(stream) != kNd2ChunkMagic) {
      // The JPEG 2000 kind is recognised but not read.
      return BoxType(stream).empty() ? kReadHeaderNotThisFormat : kReadHeaderSuccess;
    }
    Log("Cannot read the chunk map.");
    const int code = ReadNd2Header(stream, header_, [this](const std::string& text) { Report(text); });
    if (code != kNd2Success) {
      Log(FormatText("Unsupported bits per sample: %d.", header_.BitsPerSample));
      return kReadHeaderUnsupportedSampleSize;
    }
    Log("Cannot describe the stack.");
    FillStack(fileName, stackInfo, imageInfos);
    return kReadHeaderSuccess;
  } catch (const std::exception& error) {
    // The open failure message quotes the newest log line: make it the cause.
    Log(error.what());
    return kReadHeaderNotThisFormat;
  }
}

void TNikonNd2Reader::FillStack(const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos) const {
  const TNd2Header& h = header_;
  if (h.ImageCount() > INT32_MAX) RaiseError<ESciImageReaderError>("Too many images.");
  SetChannelCount(stackInfo, h.Components);
  MergeChannelGroup(stackInfo, 0, h.Components - 1);
  stackInfo.Sizes[dimChannel] = h.Components;
  stackInfo.Sizes[dimTime] = h.TimePoints;
  stackInfo.Sizes[dimPosition] = h.Positions;
  stackInfo.Sizes[dimPlane] = h.Planes;
  stackInfo.ImageCount = static_cast<int32_t>(h.ImageCount());
  stackInfo.LevelTypes = h.LevelTypes;
  stackInfo.LevelCount = static_cast<int32_t>(h.LevelTypes.size());

  stackInfo.Channels.assign(static_cast<size_t>(h.Components), TReaderChannelInfo{});
  for (size_t c = 0; c < h.Channels.size() && c < stackInfo.Channels.size(); ++c) {
    stackInfo.Channels[c].Color = static_cast<int32_t>(h.Channels[c].Color);
    stackInfo.Channels[c].Name = h.Channels[c].Name;
    stackInfo.Channels[c].Wavelength = h.Channels[c].Wavelength;
  }
  stackInfo.PositionNames.FromArray(h.PositionNames);
  stackInfo.PositionXY = h.PositionXY;
  stackInfo.PlanePositions = h.PlanePositions;
  stackInfo.PlaneSpacing = h.PlaneSpacing;
  stackInfo.TimeStamps = h.TimeStamps;
  stackInfo.TimeInterval = h.TimeInterval;
  for (const auto& [name, value] : h.TextInfo) stackInfo.TextInfo.SetValue(name, value);

  stackInfo.Optics = h.Optics;

  TImageInfo first;
  first.Width = h.Width;
  first.Height = h.Height;
  // Padded rows are packed while reading, so the delivered rows carry no padding.
  first.RowBytes = 0;
  first.PixelWidth = h.PixelWidth;
  first.PixelHeight = h.PixelHeight;
  first.PixelType = h.PixelType;
  first.SignificantBits = h.SignificantBits;
  first.Compression = h.Compression;
  first.BitsPerSample = h.BitsPerSample;
  first.BytesPerSample = h.BytesPerSample;
  first.PixelCount = h.Width * h.Height;
  imageInfos.assign(static_cast<size_t>(h.ImageCount()), first);
  const auto perStep = [&](const std::vector<float>& values, size_t step) {
    return step < values.size() ? values[step] : 0.0f;
  };
  for (size_t i = 0; i < imageInfos.size(); ++i) {
    const size_t step = i / static_cast<size_t>(h.Components);
    imageInfos[i].StageX = perStep(h.StageX, step);
    imageInfos[i].StageY = perStep(h.StageY, step);
    imageInfos[i].StageZ = perStep(h.StageZ, step);
    imageInfos[i].AcquisitionTime = perStep(h.AcquisitionTime, step);
  }
  if (!imageInfos.empty()) imageInfos[0].FileName = fileName;
}

std::string TNikonNd2Reader::ImageFileName(int index) const {
  const TImageInfo& info = ImageInfos()[static_cast<size_t>(index)];
  const std::string& file = info.FileName.empty() ? FileName() : info.FileName;
  return file.empty() ? ImageInfos()[0].FileName : file;
}

bool TNikonNd2Reader::ReadImageData(int index, TByteDynArray& data) {
  try {
    if (index < 0 || static_cast<size_t>(index) >= ImageInfos().size() || header_.Components <= 0) return false;
    TFileStream stream(ImageFileName(index));
    return ReadNd2SequenceData(stream, header_, index / header_.Components, data);
  } catch (const std::exception&) {
    return false;
  }
}

// Uncompressed frames skip the whole interleaved frame: the wanted channel is
// taken out of the stored rows as they are read.
TSciImageReader::TDirectRead TNikonNd2Reader::ReadImageDirect(int index, int component, int components,
                                                              TWordDynArray& plane) {
  if (!CanReadNd2Component(header_) || components != header_.Components) return dtNotHandled;
  if (index < 0 || static_cast<size_t>(index) >= ImageInfos().size()) return dtNotHandled;
  try {
    TFileStream stream(ImageFileName(index));
    return ReadNd2Component(stream, header_, index / header_.Components, component, plane) ? dtRead : dtFailed;
  } catch (const std::exception&) {
    return dtFailed;
  }
}

}  // namespace orbelin
