// Writes the generated ND2 files the fuzzer starts from into a folder.
#include <cstdio>
#include <fstream>
#include <string>

#include "fixtures/Nd2Writer.h"

int main(int argc, char** argv) {
  using namespace orbelin::fixtures;
  if (argc != 2) {
    std::fprintf(stderr, "usage: nd2_fuzz_seeds FOLDER\n");
    return 2;
  }
  const auto write = [&](const std::string& name, const TNd2FileRecipe& recipe) {
    const std::vector<uint8_t> bytes = WriteNd2File(recipe);
    std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  TNd2FileRecipe base;
  base.Width = 4;
  base.Height = 2;
  base.Channels = {{"DAPI", 0xFF0000, 461}, {"FITC", 0xFF00, 0}};
  base.TextItems = {"id", "type"};
  base.Container.Version = "Ver2.0";  // unpadded chunks keep the seeds small

  TNd2FileRecipe recipe = base;
  write("lv_trailer.nd2", recipe);
  recipe.XmlMetadata = true;
  write("xml_trailer.nd2", recipe);
  recipe = base;
  recipe.Container.Trailer = false;
  write("lv_walk.nd2", recipe);
  recipe = base;
  recipe.Compression = 0;
  recipe.RowBytes = 4 * 2 * 2 + 2;
  write("lossless_padded.nd2", recipe);
  recipe = base;
  recipe.Loops = {Loop(lkTime, 3, {1, 0, 1}), Loop(lkPosition, 2, {}, {"A", "B"}, {1, 2}, {3, 4}), Loop(lkZ, 2)};
  write("loops.nd2", recipe);
  recipe.XmlMetadata = true;
  recipe.Loops = {Loop(lkPosition, 2, {}, {"A", "B"}), Loop(lkTime, 2)};
  write("xml_loops.nd2", recipe);
  recipe = base;
  recipe.Container.Version = "Ver3.0";
  recipe.Container.Trailer = false;
  recipe.Width = 2;
  recipe.Height = 1;
  write("aligned_walk.nd2", recipe);
  return 0;
}
