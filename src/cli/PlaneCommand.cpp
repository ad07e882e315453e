#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "cli/Commands.h"
#include "cli/ImageFile.h"
#include "foundation/Exceptions.h"

namespace orbelin::cli {

namespace {

constexpr const char* kUsage =
    "usage: orbelin-cli plane FILE --position P --channel C [--time T] [--plane Z] --out plane.pgm\n";

struct TPlaneRequest {
  std::string File;
  int Position = -1;
  int Channel = -1;
  int Time = 0;
  int Plane = 0;
  std::string Out;
};

bool ParseIndex(const std::string& text, int& value) {
  try {
    size_t used = 0;
    const long parsed = std::stol(text, &used);
    if (used != text.size() || parsed < 0 || parsed > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(parsed);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ParseRequest(const TArguments& arguments, TPlaneRequest& request) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--out" && hasValue)
      request.Out = arguments[++i];
    else if (argument == "--position" && hasValue) {
      if (!ParseIndex(arguments[++i], request.Position)) return false;
    } else if (argument == "--channel" && hasValue) {
      if (!ParseIndex(arguments[++i], request.Channel)) return false;
    } else if (argument == "--time" && hasValue) {
      if (!ParseIndex(arguments[++i], request.Time)) return false;
    } else if (argument == "--plane" && hasValue) {
      if (!ParseIndex(arguments[++i], request.Plane)) return false;
    } else if (request.File.empty() && argument.rfind("--", 0) != 0)
      request.File = argument;
    else
      return false;
  }
  return !request.File.empty() && !request.Out.empty() && request.Position >= 0 && request.Channel >= 0;
}

// Binary PGM with 16-bit samples, most significant byte first.
void WritePgm16(const std::string& path, int width, int height, const TWordDynArray& plane) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) RaiseErrorFmt<EInOutError>("cannot write %s", path.c_str());
  out << "P5\n" << width << " " << height << "\n65535\n";
  std::vector<char> bytes(plane.size() * 2);
  for (size_t i = 0; i < plane.size(); ++i) {
    bytes[2 * i] = static_cast<char>(plane[i] >> 8);
    bytes[2 * i + 1] = static_cast<char>(plane[i] & 0xFF);
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) RaiseErrorFmt<EInOutError>("cannot write %s", path.c_str());
}

}  // namespace

int RunPlane(const TArguments& arguments) {
  TPlaneRequest request;
  if (!ParseRequest(arguments, request)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  TImageFile file = OpenImageFile(request.File);
  TWordDynArray plane;
  int width = 0, height = 0;
  if (file.IsTiff) {
    // A TIFF/STK stack is grey; its images are the frames the application shows as positions.
    if (request.Channel != 0 || request.Time != 0 || request.Plane != 0)
      RaiseError<ESciImageReaderError>("TIFF stacks have one channel, one time point and one plane per image");
    if (request.Position >= file.Tiff.PlaneCount)
      RaiseErrorFmt<ESciImageReaderError>("Index of position (%d) out of range.", request.Position);
    if (!ReadTiffImage(request.File, request.Position, plane, width, height))
      RaiseError<ESciImageReaderError>("cannot read the plane");
  } else {
    TSciImageReader& reader = *file.Reader;
    reader.SetTimePoint(request.Time);
    reader.SetPosition(request.Position);
    reader.SetPlane(request.Plane);
    reader.SetChannel(request.Channel);
    if (!reader.ReadCurrentImage(plane)) RaiseError<ESciImageReaderError>("cannot read the plane");
    width = reader.ImageInfos()[static_cast<size_t>(reader.CurrentImage())].Width;
    height = reader.ImageInfos()[static_cast<size_t>(reader.CurrentImage())].Height;
  }
  if (plane.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    RaiseErrorFmt<ESciImageReaderError>("the plane holds %zu samples, not %d x %d", plane.size(), width, height);
  WritePgm16(request.Out, width, height, plane);
  return 0;
}

}  // namespace orbelin::cli
