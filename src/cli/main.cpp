// orbelin-cli: the program's core without its windows, for scripts and checks.
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/Commands.h"
#include "readers/common/CommonFormatReader.h"
#include "readers/common/CommonFormatRegistration.h"

namespace {

struct TCommand {
  const char* name;
  const char* synopsis;
  int (*run)(const orbelin::cli::TArguments&);
};

const TCommand kCommands[] = {
    {"info", "info [--json] FILE...   describe image files", orbelin::cli::RunInfo},
    {"plane", "plane FILE --position P --channel C [--time T] [--plane Z] --out plane.pgm  write one 16-bit plane",
     orbelin::cli::RunPlane},
    {"render", "render FILE... [--frame N] [--contrast FRACTION] [--gray] [--half] --out out.png  draw a frame's composite",
     orbelin::cli::RunRender},
    {"analyse",
     "analyse FILE... --cells cells.json [--kind NAME_OR_INDEX=KIND ...] [--by-cell] [--out table.tsv]  measure the cells",
     orbelin::cli::RunAnalyse},
    {"demo", "demo OUTDIR [--seed N] [--size 1024] [--cells 12]  write a synthetic image with its cells and truth",
     orbelin::cli::RunDemo},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: orbelin-cli COMMAND [ARGS]\n\ncommands:\n");
  for (const auto& command : kCommands) std::fprintf(out, "  %s\n", command.synopsis);
}

}  // namespace

int main(int argc, char* argv[]) {
  // As in the application: every reader registered, the frames of an animated picture are positions.
  orbelin::SetCommonFormatFrameDimension(orbelin::fdPositions);
  orbelin::RegisterCommonFormatReader();

  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const auto& command : kCommands) {
    if (std::strcmp(argv[1], command.name) != 0) continue;
    try {
      return command.run(orbelin::cli::TArguments(argv + 2, argv + argc));
    } catch (const std::exception& error) {
      std::fprintf(stderr, "orbelin-cli %s: %s\n", command.name, error.what());
      return 1;
    }
  }
  std::fprintf(stderr, "orbelin-cli: unknown command \"%s\"\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
