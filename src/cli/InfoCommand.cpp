#include <cstdio>

#include "cli/Commands.h"

namespace orbelin::cli {

int RunInfo(const TArguments& arguments) {
  int status = arguments.empty() ? 2 : 0;
  for (const auto& file : arguments) {
    std::fprintf(stderr, "%s: not a supported image\n", file.c_str());
    status = 1;
  }
  return status;
}

}  // namespace orbelin::cli
