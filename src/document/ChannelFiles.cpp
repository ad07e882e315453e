#include "document/ChannelFiles.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "document/ColorSlots.h"

namespace orbelin {

namespace {

bool DescribeTiff(const std::string& path, const TImageFormats& formats, TChannelInfos& channels) {
  if (!formats.ReadTiff) return false;
  TWordDynArray plane;
  int32_t width = 0, height = 0, images = 0;
  double pixelSize = 0;
  if (!formats.ReadTiff(path, -1, plane, width, height, images, pixelSize)) return false;
  if (width <= 0 || height <= 0) return false;
  TChannelInfo info;
  info.FileName = path;
  info.Name = SplitChannelFileName(path).Suffix;
  info.Index = 0;
  info.ReaderClass = nullptr;
  info.Width = width;
  info.Height = height;
  info.PlaneCount = 1;
  info.TimePointCount = 1;
  info.PositionCount = images;
  info.PixelSize = pixelSize / 1000000.0;
  info.SignificantBits = 0;
  channels.Add(info);
  return true;
}

bool DescribeWithReader(const std::string& path, const TImageFormats& formats, TChannelInfos& channels) {
  const TPlaneReaderClass* readerClass = formats.ChooseReader ? formats.ChooseReader(path) : nullptr;
  if (readerClass == nullptr || !readerClass->Create) return false;
  std::unique_ptr<TPlaneReader> reader = readerClass->Create();
  reader->Open(path);
  const TFileDescription description = reader->Describe();
  if (description.Width <= 0 || description.Height <= 0) return false;
  int32_t significantBits = description.SignificantBits;
  if (significantBits == 0 && description.BitsPerSample <= 8) significantBits = 8;
  for (size_t i = 0; i < description.ChannelNames.size(); ++i) {
    TChannelInfo info;
    info.FileName = path;
    info.Index = static_cast<int32_t>(i);
    info.ReaderClass = readerClass;
    info.Name = description.ChannelNames[i];
    info.Width = description.Width;
    info.Height = description.Height;
    info.PlaneCount = description.PlaneCount;
    info.PositionCount = description.PositionCount;
    info.TimePointCount = description.TimePointCount;
    info.PixelSize = description.PixelWidth;
    info.SignificantBits = significantBits;
    channels.Add(info);
  }
  return true;
}

}  // namespace

bool ReadChannelsOfFile(const std::string& path, const TImageFormats& formats, TChannelInfos& channels) {
  channels.Clear();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  try {
    if (DescribeTiff(path, formats, channels)) return true;
    return DescribeWithReader(path, formats, channels);
  } catch (const std::exception&) {
    channels.Clear();
    return false;
  }
}

TChannelFileName SplitChannelFileName(const std::string& path) {
  TChannelFileName result;
  std::string body = path;
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    body = path.substr(0, dot);
    result.Ext = path.substr(dot);
  }
  const size_t hyphen = body.rfind('-');
  if (hyphen != std::string::npos && hyphen > 0) {
    result.Stem = body.substr(0, hyphen);
    result.Suffix = UpperCase(body.substr(hyphen + 1));
  } else {
    result.Stem = path;
  }
  return result;
}

std::vector<std::string> SiblingChannelFiles(const std::string& path) {
  const TChannelFileName parts = SplitChannelFileName(path);
  bool isChannelFile = false;
  for (const char* suffix : kChannelSuffixes) isChannelFile = isChannelFile || parts.Suffix == suffix;
  std::vector<std::string> siblings;
  if (!isChannelFile) return siblings;
  for (const char* suffix : kChannelSuffixes)
    if (parts.Suffix != suffix) siblings.push_back(parts.Stem + "-" + suffix + parts.Ext);
  return siblings;
}

}  // namespace orbelin
