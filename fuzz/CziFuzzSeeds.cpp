// Writes small CZI files of every kind the reader handles into a folder, as
// the starting corpus of the CZI fuzzer.
#include <cstdio>
#include <fstream>
#include <string>

#include "fixtures/CziWriter.h"

using namespace orbelin::test;

namespace {

void Save(const std::string& folder, const std::string& name, const TCziFileRecipe& recipe) {
  const std::vector<uint8_t> bytes = BuildCzi(recipe).Bytes;
  std::ofstream(folder + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TCziSubblockRecipe Plane(int pixelType, int compression, std::vector<uint8_t> data, int channel = 0, int z = 0,
                       int width = 8, int height = 4) {
  TCziSubblockRecipe block;
  block.PixelType = pixelType;
  block.Compression = compression;
  block.Dimensions = CziPlaneDimensions(width, height, {{'C', channel}, {'Z', z}, {'S', 0}, {'T', 0}});
  block.Data = std::move(data);
  return block;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: czi_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<uint16_t> samples(32);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint16_t>(i * 1000);
  const std::vector<uint8_t> words = WordBytes(samples);
  std::vector<uint8_t> bytes(32), bgr(96);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 2);
  const std::string metadata = CziMetadataXml(
      {{"SizeC", 2}, {"SizeZ", 2}, {"SizeS", 2}},
      "<Channels><Channel Name=\"DAPI\"><Color>#FF0000FF</Color><EmissionWavelength>461</EmissionWavelength>"
      "</Channel><Channel><Fluor>GFP</Fluor><PixelType>Bgr24</PixelType></Channel></Channels>"
      "<S><Scenes><Scene Index=\"0\" Name=\"A1\"><CenterPosition>10.5,20</CenterPosition></Scene></Scenes></S>"
      "<T><Positions><Interval><Start>0</Start><Increment>30</Increment></Interval></Positions></T>"
      "<Z><Positions><Interval><Start>1</Start><Increment>0.5</Increment></Interval></Positions></Z>",
      "<Distance Id=\"X\"><Value>1E-07</Value></Distance><Distance Id=\"Y\"><Value>1E-07</Value></Distance>");

  TCziFileRecipe recipe;
  recipe.MetadataXml = metadata;
  recipe.Subblocks = {Plane(1, 0, words), Plane(3, 0, bgr, 1), Plane(1, 0, words, 0, 1)};
  Save(folder, "plain.czi", recipe);
  recipe.Subblocks = {Plane(1, 5, CompressZstdFrame(words)), Plane(1, 6, CompressZstdWithHeader(words, true), 0, 1)};
  Save(folder, "zstd.czi", recipe);
  recipe.Subblocks = {Plane(1, 6, CompressZstdWithHeader(words, false)), Plane(1, 2, CompressLzw(words), 0, 1)};
  Save(folder, "lzw.czi", recipe);
  recipe.Subblocks = {Plane(0, 1, CompressJpeg(std::vector<uint8_t>(64, 90), 8, 8, 1), 0, 0, 8, 8),
                    Plane(3, 1, CompressJpeg(std::vector<uint8_t>(192, 30), 8, 8, 3), 1, 0, 8, 8)};
  Save(folder, "jpeg.czi", recipe);
  recipe.Subblocks = {Plane(1, 4, CompressJpegXr(words, 8, 4, 1, 2)),
                    Plane(3, 4, CompressJpegXr(bgr, 8, 4, 3, 1), 1)};
  Save(folder, "jpegxr.czi", recipe);
  TCziSubblockRecipe reduced = Plane(1, 0, std::vector<uint8_t>(words.begin(), words.begin() + 16));
  reduced.Dimensions[0].StoredSize = 4;
  reduced.Dimensions[1].StoredSize = 2;
  reduced.PyramidType = 1;
  recipe.Subblocks = {reduced, Plane(1, 0, words)};
  Save(folder, "pyramid.czi", recipe);
  recipe.MetadataXml.clear();
  recipe.Subblocks = {Plane(0, 0, bytes), Plane(0, 0, bytes, 1), Plane(12, 0, std::vector<uint8_t>(128, 7), 2)};
  Save(folder, "nometadata.czi", recipe);
  return 0;
}
