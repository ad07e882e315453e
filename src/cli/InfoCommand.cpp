#include <cstdio>
#include <exception>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/ImageFile.h"
#include "cli/StackDescription.h"

namespace orbelin::cli {

int RunInfo(const TArguments& arguments) {
  bool asJson = false;
  TArguments files;
  for (const auto& argument : arguments) {
    if (argument == "--json")
      asJson = true;
    else
      files.push_back(argument);
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: orbelin-cli info [--json] FILE...\n");
    return 2;
  }
  int status = 0;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  for (const auto& file : files) {
    try {
      const TImageFile image = OpenImageFile(file);
      const nlohmann::ordered_json description = DescribeImageFile(file, image);
      if (asJson)
        all.push_back(description);
      else
        std::fputs(DescriptionText(description).c_str(), stdout);
    } catch (const std::exception& error) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
      status = 1;
    }
  }
  if (asJson) std::printf("%s\n", all.dump(2).c_str());
  return status;
}

}  // namespace orbelin::cli
