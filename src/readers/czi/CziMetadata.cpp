#include "readers/czi/CziMetadata.h"

#include <algorithm>
#include <charconv>
#include <pugixml.hpp>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"
#include "readers/czi/CziFormat.h"
#include "readers/framework/ChannelGroups.h"
#include "readers/framework/ColorLayout.h"

namespace orbelin {

namespace {

std::string Trimmed(const char* text) {
  std::string s(text ? text : "");
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

// The files write numbers with a "." whatever the reading system's locale is.
double ToNumber(const std::string& text) {
  const std::string s = Trimmed(text.c_str());
  double value = 0;
  const char* begin = s.data();
  if (!s.empty() && s[0] == '+') ++begin;
  const auto [end, error] = std::from_chars(begin, s.data() + s.size(), value);
  if (s.empty() || error != std::errc() || end != s.data() + s.size())
    RaiseErrorFmt<EConvertError>("'%s' is not a valid floating point value", s.c_str());
  return value;
}

int64_t ToInteger(const std::string& text, int base = 10) {
  const std::string s = Trimmed(text.c_str());
  int64_t value = 0;
  const char* begin = s.data();
  if (!s.empty() && s[0] == '+') ++begin;
  const auto [end, error] = std::from_chars(begin, s.data() + s.size(), value, base);
  if (s.empty() || error != std::errc() || end != s.data() + s.size())
    RaiseErrorFmt<EConvertError>("'%s' is not a valid integer value", s.c_str());
  return value;
}

int32_t ClampedSize(int64_t value) {
  return value < 1 ? 1 : value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

std::string TextOf(const pugi::xml_node& node, const char* child) { return node.child(child).text().get(); }

void ReadSizes(const pugi::xml_node& image, TStackInfo& stackInfo) {
  Log("Cannot read Metadata - Sizes.");
  auto sizeOf = [&](const char* name) -> int64_t {
    const pugi::xml_node node = image.child(name);
    return node ? ToInteger(node.text().get()) : 0;
  };
  const int64_t channels = sizeOf("SizeC");
  static constexpr struct {
    const char* Name;
    int Dimension;
  } kSizes[] = {{"SizeZ", dimPlane},   {"SizeT", dimTime},    {"SizeR", dimRotation},
                {"SizeS", dimPosition}, {"SizeI", dimIllumination}, {"SizeB", dimBlock},
                {"SizeM", dimMosaic},  {"SizeH", dimPhase},   {"SizeV", dimView}};
  int64_t images = std::clamp<int64_t>(channels, 1, kCziMaxImageCount + 1);
  for (const auto& size : kSizes) {
    stackInfo.Sizes[size.Dimension] = ClampedSize(sizeOf(size.Name));
    images = std::min(images * stackInfo.Sizes[size.Dimension], kCziMaxImageCount + 1);
  }
  // Names, stamps and image infos are sized from these; a forged size must not allocate gigabytes.
  if (images > kCziMaxImageCount) RaiseError<ESciImageReaderError>("Too many images.");
  SetChannelCount(stackInfo, static_cast<int>(channels < 0 ? 0 : channels));
}

void ReadChannels(const pugi::xml_node& image, TStackInfo& stackInfo) {
  Log("Cannot read Metadata - Channels.");
  const int channels = static_cast<int>(stackInfo.ChannelGroups.size());
  TReaderChannelInfos entries(static_cast<size_t>(channels));
  const pugi::xml_node list = image.child("Dimensions").child("Channels");
  int i = 0;
  for (pugi::xml_node channel = list.first_child(); channel && i < channels; channel = channel.next_sibling()) {
    if (channel.type() != pugi::node_element) continue;
    TReaderChannelInfo& info = entries[i];
    info.Name = Trimmed(channel.attribute("Name").value());
    if (info.Name.empty()) info.Name = Trimmed(TextOf(channel, "Fluor").c_str());
    if (info.Name.empty()) info.Name = TextOf(channel, "EmissionWavelength");
    info.Illumination = TextOf(channel, "IlluminationType");
    const pugi::xml_node wavelength = channel.child("EmissionWavelength");
    info.Wavelength = wavelength ? static_cast<float>(ToNumber(wavelength.text().get())) : 0;
    const std::string color = TextOf(channel, "Color");
    info.Color = color.empty() ? 0 : static_cast<int32_t>(static_cast<uint32_t>(ToInteger(color.substr(1), 16)));
    const int code = CziPixelTypeOf(TextOf(channel, "PixelType"));
    if (const TCziPixelTypeInfo* type = CziPixelTypeInfo(code)) {
      if (type->Components == 3) SetChannelLayout(stackInfo, i, clBGR);
      else if (type->Layout == clBGRA) SetChannelLayout(stackInfo, i, clBGRA);
    }
    ++i;
  }
  stackInfo.Channels = entries;
  NameGroupedChannels(stackInfo);
}

void ReadScenes(const pugi::xml_node& image, TStackInfo& stackInfo) {
  Log("Cannot read Metadata - Dimensions.");
  const int positions = stackInfo.Sizes[dimPosition];
  stackInfo.PositionNames.SetCount(positions);
  stackInfo.PositionXY.assign(static_cast<size_t>(positions), TPointF{});
  Log("Cannot read Metadata Node - Dimensions.");
  const pugi::xml_node dimensions = image.child("Dimensions");
  if (dimensions) {
    Log("Cannot read Metadata Node - Dimensions -> S.");
    const pugi::xml_node s = dimensions.child("S");
    if (s) {
      Log("Cannot read Metadata Node - Dimensions -> S -> Scenes.");
      int k = 0;
      for (pugi::xml_node scene = s.child("Scenes").first_child(); scene; scene = scene.next_sibling()) {
        if (scene.type() != pugi::node_element) continue;
        Log(FormatText("Cannot read Metadata Node - Dimensions -> S -> Scenes[%d] -> Index.", k));
        const std::string index = scene.attribute("Index").value();
        Log(FormatText("Cannot read Convert string (%s) to number.", index.c_str()));
        const int64_t n = ToInteger(index);
        if (n >= 0 && n < positions) {
          Log(FormatText("Cannot read Metadata Node - Dimensions -> S -> Scenes[%d] -> Name.", k));
          stackInfo.PositionNames[static_cast<int>(n)] = scene.attribute("Name").value();
          Log(FormatText("Cannot read Metadata Node - Dimensions -> S -> Scenes[%d] -> CenterPosition.", k));
          const std::string center = TextOf(scene, "CenterPosition");
          Log(FormatText("Cannot read Convert string (%s) to number.", center.c_str()));
          const size_t comma = center.find(',');
          TPointF point;
          if (comma != std::string::npos) {
            point.x = static_cast<float>(ToNumber(center.substr(0, comma)));
            point.y = static_cast<float>(ToNumber(center.substr(comma + 1)));
          }
          stackInfo.PositionXY[static_cast<size_t>(n)] = point;
        }
        ++k;
      }
    }
  }
  for (int p = 0; p < positions; ++p)
    if (stackInfo.PositionNames[p].empty()) stackInfo.PositionNames[p] = std::to_string(p + 1);
}

void ReadTimePoints(const pugi::xml_node& image, TStackInfo& stackInfo) {
  Log("Cannot read Metadata - Time points.");
  const int times = stackInfo.Sizes[dimTime];
  stackInfo.TimeStamps.assign(static_cast<size_t>(times), 0.0);
  const pugi::xml_node interval = image.child("Dimensions").child("T").child("Positions").child("Interval");
  if (!interval) return;
  const pugi::xml_node increment = interval.child("Increment"), start = interval.child("Start");
  stackInfo.TimeInterval = increment ? ToNumber(increment.text().get()) / 86400 : 0;
  stackInfo.TimeStamps[0] = start ? ToNumber(start.text().get()) / 86400 : 0;
  for (int t = 1; t < times; ++t) stackInfo.TimeStamps[t] = stackInfo.TimeStamps[0] + t * stackInfo.TimeInterval;
}

void ReadPlanes(const pugi::xml_node& image, TStackInfo& stackInfo) {
  Log("Cannot read Metadata - Planes.");
  const int planes = stackInfo.Sizes[dimPlane];
  stackInfo.PlanePositions.assign(static_cast<size_t>(planes), 0.0f);
  const pugi::xml_node interval = image.child("Dimensions").child("Z").child("Positions").child("Interval");
  if (!interval) return;
  const pugi::xml_node increment = interval.child("Increment"), start = interval.child("Start");
  stackInfo.PlaneSpacing = increment ? static_cast<float>(ToNumber(increment.text().get())) : 0;
  stackInfo.PlanePositions[0] = start ? static_cast<float>(ToNumber(start.text().get())) : 0;
  for (int z = 1; z < planes; ++z)
    stackInfo.PlanePositions[z] = stackInfo.PlanePositions[0] + static_cast<float>(z) * stackInfo.PlaneSpacing;
}

void ReadResolutions(const pugi::xml_node& root, TCziScaling& scaling) {
  Log("Cannot read Metadata - Resolutions.");
  const pugi::xml_node items = root.child("Metadata").child("Scaling").child("Items");
  for (pugi::xml_node item = items.first_child(); item; item = item.next_sibling()) {
    const std::string id = item.attribute("Id").value();
    if (id != "X" && id != "Y") continue;
    const pugi::xml_node value = item.child("Value");
    const float size = value ? static_cast<float>(ToNumber(value.text().get())) : 0;
    (id == "X" ? scaling.PixelWidth : scaling.PixelHeight) = size;
  }
}

}  // namespace

bool ReadCziMetadata(const std::string& xmlText, TStackInfo& stackInfo, TCziScaling& scaling) {
  Log("Cannot load XML.");
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(xmlText.data(), xmlText.size(),
                                                             pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) RaiseErrorFmt<ESciImageReaderError>("%s", parsed.description());
  Log("Incorrect XML.");
  const pugi::xml_node root = document.document_element();
  if (!root) RaiseError<ESciImageReaderError>("No document element.");

  Log("Cannot read Metadata.");
  const pugi::xml_node image = root.child("Metadata").child("Information").child("Image");
  if (image) {
    ReadSizes(image, stackInfo);
    ReadChannels(image, stackInfo);
    ReadScenes(image, stackInfo);
    ReadTimePoints(image, stackInfo);
    ReadPlanes(image, stackInfo);
  }
  ReadResolutions(root, scaling);
  return static_cast<bool>(image);
}

}  // namespace orbelin
