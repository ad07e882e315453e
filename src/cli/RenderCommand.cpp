// orbelin-cli render: the composite of one frame, as the application shows it, into a PNG.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "document/Composite.h"
#include "document/ImageSet.h"
#include "foundation/Exceptions.h"

namespace orbelin::cli {

namespace {

struct TRenderOptions {
  std::vector<std::string> files;
  int32_t frame = 0;
  double contrast = 0.01;
  bool gray = false;
  bool half = false;
  std::string out;
};

const char* const kUsage =
    "usage: orbelin-cli render FILE... [--frame N] [--contrast FRACTION] [--gray] [--half] --out out.png\n"
    "  --frame N            frame (position) to draw, counted from 0 (default 0)\n"
    "  --contrast FRACTION  share of pixels saturated at the top, negative for full range (default 0.01)\n"
    "  --gray               draw a single visible channel in grey\n"
    "  --half               half size, averaging 2 x 2 pixels\n";

bool ParseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end != nullptr && *end == '\0';
}

bool ParseOptions(const TArguments& arguments, TRenderOptions& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    double number = 0;
    if (argument == "--frame" && hasValue && ParseNumber(arguments[i + 1], number) && number >= 0 && number < 1e9) {
      options.frame = static_cast<int32_t>(number);
      ++i;
    } else if (argument == "--contrast" && hasValue && ParseNumber(arguments[i + 1], number)) {
      options.contrast = number;
      ++i;
    } else if (argument == "--out" && hasValue) {
      options.out = arguments[++i];
    } else if (argument == "--gray") {
      options.gray = true;
    } else if (argument == "--half") {
      options.half = true;
    } else if (argument.rfind("--", 0) == 0) {
      return false;
    } else {
      options.files.push_back(argument);
    }
  }
  return !options.files.empty() && !options.out.empty();
}

// Half size by averaging each 2 × 2 block (the last row or column of an odd size alone).
TBgrImage HalfSize(const TBgrImage& image) {
  TBgrImage half;
  half.Width = (image.Width + 1) / 2;
  half.Height = (image.Height + 1) / 2;
  half.Pixels.assign(half.RowBytes() * static_cast<size_t>(half.Height), 0);
  for (int32_t y = 0; y < half.Height; ++y)
    for (int32_t x = 0; x < half.Width; ++x)
      for (int c = 0; c < 3; ++c) {
        unsigned sum = 0, count = 0;
        for (int32_t dy = 0; dy < 2; ++dy)
          for (int32_t dx = 0; dx < 2; ++dx) {
            const int32_t sx = 2 * x + dx, sy = 2 * y + dy;
            if (sx >= image.Width || sy >= image.Height) continue;
            sum += image.Pixels[static_cast<size_t>(sy) * image.RowBytes() + 3 * static_cast<size_t>(sx) + c];
            ++count;
          }
        half.Pixels[static_cast<size_t>(y) * half.RowBytes() + 3 * static_cast<size_t>(x) + c] =
            static_cast<uint8_t>((sum + count / 2) / count);
      }
  return half;
}

// libpng reports errors by longjmp, so nothing here needs destructors.
bool WritePng(const char* path, const TBgrImage& image, png_bytep* rows) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width), static_cast<png_uint_32>(image.Height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace

int RunRender(const TArguments& arguments) {
  TRenderOptions options;
  if (!ParseOptions(arguments, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  TImageSet set;
  set.SetContrast(options.contrast);
  set.SetForceGray(options.gray);
  set.OpenFiles(options.files);
  if (!set.IsOpen()) {
    std::fprintf(stderr, "orbelin-cli render: no readable image among the files\n");
    return 1;
  }
  if (options.frame >= set.FrameCount()) {
    std::fprintf(stderr, "orbelin-cli render: frame %d does not exist (%d frames)\n", options.frame,
                 set.FrameCount());
    return 1;
  }
  set.GoToFrame(options.frame);
  TBgrImage image;
  ComposeFrame(set, image);
  if (options.half) image = HalfSize(image);
  if (image.Width <= 0 || image.Height <= 0) {
    std::fprintf(stderr, "orbelin-cli render: the image is empty\n");
    return 1;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(image.Height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = image.Pixels.data() + y * image.RowBytes();
  if (!WritePng(options.out.c_str(), image, rows.data())) {
    std::fprintf(stderr, "orbelin-cli render: cannot write %s\n", options.out.c_str());
    return 1;
  }
  std::printf("%s: frame %d of %d, %d x %d, %d channels\n", options.out.c_str(), options.frame, set.FrameCount(),
              image.Width, image.Height, set.ChannelCount());
  for (int s = 0; s < kColorSlotCount; ++s) {
    const int32_t channel = set.Slots().SlotChannel[static_cast<size_t>(s)];
    if (channel >= 0)
      std::printf("  %-7s channel %d \"%s\"\n", kColorSlotNames[static_cast<size_t>(s)], channel,
                  set.Channels()[channel].Name.c_str());
  }
  return 0;
}

}  // namespace orbelin::cli
