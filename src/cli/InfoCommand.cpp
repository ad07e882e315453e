#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"

namespace orbelin::cli {

namespace {

// Prints the block of one file; false when the file cannot be opened or read.
bool DescribeFile(const std::string& file) {
  std::unique_ptr<TFileStream> stream;
  try {
    stream = OpenFileRead(file);
  } catch (const Exception&) {
    return false;
  }
  TWordDynArray plane;
  int width = 0, height = 0, planeCount = 0;
  double pixelSize = 0;
  if (!ReadTiffPlane(*stream, -1, plane, width, height, planeCount, pixelSize)) return false;
  std::printf("%s\n", file.c_str());
  std::printf("  width: %d\n", width);
  std::printf("  height: %d\n", height);
  std::printf("  planes: %d\n", planeCount);
  if (pixelSize > 0)
    std::printf("  pixel size: %g \xC2\xB5m/px\n", pixelSize);
  else
    std::printf("  pixel size: unknown\n");
  return true;
}

}  // namespace

int RunInfo(const TArguments& arguments) {
  if (arguments.empty()) {
    std::fprintf(stderr, "usage: orbelin-cli info FILE...\n");
    return 2;
  }
  int status = 0;
  for (const auto& file : arguments) {
    if (DescribeFile(file)) continue;
    std::fflush(stdout);
    std::fprintf(stderr, "%s: not a supported image\n", file.c_str());
    status = 1;
  }
  return status;
}

}  // namespace orbelin::cli
