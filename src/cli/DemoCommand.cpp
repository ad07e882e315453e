// orbelin-cli demo: a synthetic fixed-cell image with its cells and the true answers.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/DemoImage.h"
#include "cli/Commands.h"

namespace orbelin::cli {

namespace {

const char* const kUsage =
    "usage: orbelin-cli demo OUTDIR [--seed N] [--size 1024] [--cells 12]\n"
    "  --seed N     random seed; the same seed gives the same image (default 1)\n"
    "  --size N     width and height in pixels (default 1024)\n"
    "  --cells N    number of cells (default 12)\n"
    "writes cell-B.tif (nuclei), cell-R.tif (centrosomes), cell-G.tif (Golgi), cells.json and truth.tsv\n";

bool ParseUnsigned(const std::string& text, uint64_t limit, uint64_t& value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed > limit) return false;
  value = parsed;
  return true;
}

}  // namespace

int RunDemo(const TArguments& arguments) {
  TDemoOptions options;
  std::string folder;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    uint64_t number = 0;
    if (argument == "--seed" && hasValue && ParseUnsigned(arguments[i + 1], UINT64_MAX, number)) {
      options.Seed = number;
    } else if (argument == "--size" && hasValue && ParseUnsigned(arguments[i + 1], kLargestDemoSize, number)) {
      options.Size = static_cast<int32_t>(number);
    } else if (argument == "--cells" && hasValue && ParseUnsigned(arguments[i + 1], 100000, number)) {
      options.CellCount = static_cast<int32_t>(number);
    } else if (argument.rfind("--", 0) != 0 && folder.empty()) {
      folder = argument;
      continue;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
    ++i;
  }
  if (folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Size and cell count errors and unwritable folders reach main's handler: status 1.
  WriteDemoImage(MakeDemoImage(options), folder);
  std::printf("%d cells written to %s\n", options.CellCount, folder.c_str());
  return 0;
}

}  // namespace orbelin::cli
