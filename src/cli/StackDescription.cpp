#include "cli/StackDescription.h"

#include <cstdio>

#include "foundation/Exceptions.h"

namespace orbelin::cli {

namespace {

using json = nlohmann::ordered_json;

struct TNamedDimension {
  int Dimension;
  const char* Name;
  bool AlwaysShown;
};

constexpr TNamedDimension kDimensions[] = {
    {dimTime, "time", true},          {dimPosition, "position", true},  {dimPlane, "plane", true},
    {dimBlock, "block", false},       {dimMosaic, "mosaic", false},     {dimPhase, "phase", false},
    {dimRotation, "rotation", false}, {dimIllumination, "illumination", false},
    {dimView, "view", false},         {dimChannel, "channel", true},
};

const char* PixelTypeName(int pixelType) {
  switch (pixelType) {
    case ptUInt8: return "uint8";
    case ptUInt16: return "uint16";
    case ptUInt32: return "uint32";
    case ptInt64: return "int64";
    case ptFloat32: return "float32";
    case ptComplex: return "complex";
    default: return "unknown";
  }
}

std::string Hex(int32_t value) { return FormatText("0x%06X", static_cast<unsigned>(value)); }

std::string Number(double value) { return FormatText("%g", value); }

// Multi-line texts continue under their first line.
std::string Indented(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    out += text[i];
    if (text[i] == '\n' && i + 1 < text.size()) out += "    ";
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

json OpticsOf(const TOpticalInfo& optics) {
  const bool any = !optics.ObjectiveName.empty() || optics.ObjectiveMagnification != 0 ||
                   optics.NumericalAperture != 0 || optics.Calibration != 0 || optics.Zoom != 0 ||
                   optics.RefractiveIndex1 != 0 || optics.PinholeRadius != 0 || optics.AbsoluteTime != 0;
  if (!any) return nullptr;
  return json{{"objective", optics.ObjectiveName},
              {"magnification", optics.ObjectiveMagnification},
              {"numericalAperture", optics.NumericalAperture},
              {"refractiveIndex1", optics.RefractiveIndex1},
              {"refractiveIndex2", optics.RefractiveIndex2},
              {"pinholeRadius", optics.PinholeRadius},
              {"zoom", optics.Zoom},
              {"projectiveMagnification", optics.ProjectiveMagnification},
              {"calibrationUm", optics.Calibration},
              {"aspect", optics.Aspect},
              {"angle", optics.Angle},
              {"absoluteTime", optics.AbsoluteTime}};
}

}  // namespace

json DescribeImageFile(const std::string& fileName, const TImageFile& file) {
  json d;
  d["file"] = fileName;
  d["reader"] = file.ReaderName;
  if (file.IsTiff) {
    d["width"] = file.Tiff.Width;
    d["height"] = file.Tiff.Height;
    d["planes"] = file.Tiff.PlaneCount;
    d["pixelSizeUm"] = file.Tiff.PixelSize > 0 ? json(file.Tiff.PixelSize) : json(nullptr);
    return d;
  }
  const TSciImageReader& reader = *file.Reader;
  const TStackInfo& stack = reader.StackInfo();
  const TImageInfo& image = reader.ImageInfo();
  d["width"] = reader.Width();
  d["height"] = reader.Height();
  json sizes = json::object();
  for (const TNamedDimension& dimension : kDimensions)
    if (dimension.AlwaysShown || stack.Sizes[dimension.Dimension] > 1)
      sizes[dimension.Name] = stack.Sizes[dimension.Dimension];
  d["sizes"] = sizes;
  d["imageCount"] = stack.ImageCount;
  d["pixelType"] = PixelTypeName(image.PixelType);
  d["bitsPerSample"] = reader.BitsPerSample();
  d["significantBits"] = reader.SignificantBits();
  d["pixelSizeUm"] = reader.PixelWidth() > 0 ? json(reader.PixelWidth() * 1e6) : json(nullptr);
  d["compression"] = image.Compression;
  json channels = json::array();
  for (const TReaderChannelInfo& channel : stack.Channels) {
    json c{{"name", channel.Name}, {"color", Hex(channel.Color)}, {"wavelengthNm", channel.Wavelength}};
    if (!channel.Illumination.empty()) c["illumination"] = channel.Illumination;
    channels.push_back(c);
  }
  d["channels"] = channels;
  json positions = json::array();
  for (int i = 0; i < stack.PositionNames.Count(); ++i) {
    json p{{"name", stack.PositionNames[i]}};
    if (static_cast<size_t>(i) < stack.PositionXY.size()) {
      p["x"] = stack.PositionXY[static_cast<size_t>(i)].x;
      p["y"] = stack.PositionXY[static_cast<size_t>(i)].y;
    }
    positions.push_back(p);
  }
  d["positions"] = positions;
  d["timeInterval"] = stack.TimeInterval;
  d["planeSpacing"] = stack.PlaneSpacing;
  d["optics"] = OpticsOf(stack.Optics);
  json text = json::object();
  for (int i = 0; i < stack.TextInfo.Count && static_cast<size_t>(i) < stack.TextInfo.Pairs.size(); ++i)
    text[stack.TextInfo.Pairs[static_cast<size_t>(i)].Name] = stack.TextInfo.Pairs[static_cast<size_t>(i)].Value;
  d["textInfo"] = text;
  return d;
}

std::string DescriptionText(const json& d) {
  std::string out = d["file"].get<std::string>() + "\n";
  auto line = [&out](const std::string& text) { out += "  " + text + "\n"; };
  line("width: " + std::to_string(d["width"].get<int>()));
  line("height: " + std::to_string(d["height"].get<int>()));
  const auto pixelSize = [&d]() -> std::string {
    if (d["pixelSizeUm"].is_null()) return "pixel size: unknown";
    return "pixel size: " + Number(d["pixelSizeUm"].get<double>()) + " \xC2\xB5m/px";
  };
  if (d["reader"] == "TIFF") {
    line("planes: " + std::to_string(d["planes"].get<int>()));
    line(pixelSize());
    return out;
  }
  std::string sizes;
  for (const auto& [name, size] : d["sizes"].items())
    sizes += (sizes.empty() ? "" : ", ") + name + " " + std::to_string(size.get<int>());
  line("reader: " + d["reader"].get<std::string>());
  line("sizes: " + sizes);
  line("pixel type: " + d["pixelType"].get<std::string>() + ", " + std::to_string(d["bitsPerSample"].get<int>()) +
       " bits (" + std::to_string(d["significantBits"].get<int>()) + " significant)");
  line(pixelSize());
  line("compression: " + std::to_string(d["compression"].get<int>()));
  int index = 0;
  for (const auto& channel : d["channels"]) {
    std::string text = "channel " + std::to_string(index++) + ": \"" + channel["name"].get<std::string>() +
                       "\", colour " + channel["color"].get<std::string>() + ", wavelength " +
                       Number(channel["wavelengthNm"].get<double>()) + " nm";
    if (channel.contains("illumination")) text += ", illumination " + channel["illumination"].get<std::string>();
    line(text);
  }
  index = 0;
  for (const auto& position : d["positions"]) {
    std::string text = "position " + std::to_string(index++) + ": \"" + position["name"].get<std::string>() + "\"";
    if (position.contains("x"))
      text += " at (" + Number(position["x"].get<double>()) + ", " + Number(position["y"].get<double>()) + ")";
    line(text);
  }
  if (d["timeInterval"].get<double>() > 0) line("time interval: " + Number(d["timeInterval"].get<double>()));
  if (d["planeSpacing"].get<double>() > 0) line("plane spacing: " + Number(d["planeSpacing"].get<double>()));
  if (!d["optics"].is_null())
    for (const auto& [name, value] : d["optics"].items()) {
      // The text shows only what the file states; the JSON keeps every field.
      if (value.is_string() ? value.get<std::string>().empty() : value.get<double>() == 0) continue;
      line("optics " + name + ": " + (value.is_string() ? value.get<std::string>() : Number(value.get<double>())));
    }
  for (const auto& [name, value] : d["textInfo"].items())
    if (!value.get<std::string>().empty()) line("text " + name + ": " + Indented(value.get<std::string>()));
  return out;
}

}  // namespace orbelin::cli
