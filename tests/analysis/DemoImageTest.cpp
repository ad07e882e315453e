#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/CellsFile.h"
#include "analysis/DemoImage.h"
#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "numeric/Geometry.h"
#include "readers/tiff/TiffImage.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

TDemoOptions SmallDemo(uint64_t seed) {
  TDemoOptions options;
  options.Seed = seed;
  options.Size = 320;
  options.CellCount = 2;
  return options;
}

TEST(DemoImage, TheSeedDecidesEveryPixel) {
  const TDemoImage a = MakeDemoImage(SmallDemo(5));
  const TDemoImage b = MakeDemoImage(SmallDemo(5));
  const TDemoImage c = MakeDemoImage(SmallDemo(6));
  EXPECT_EQ(a.Nuclei, b.Nuclei);
  EXPECT_EQ(a.Centrosomes, b.Centrosomes);
  EXPECT_EQ(a.Golgi, b.Golgi);
  EXPECT_EQ(DemoTruthText(a), DemoTruthText(b));
  EXPECT_NE(a.Nuclei, c.Nuclei);
  EXPECT_NE(DemoTruthText(a), DemoTruthText(c));
}

TEST(DemoImage, ObjectsLieInsideTheirOwnCellAndAreBrighterThanTheBackground) {
  const TDemoImage image = MakeDemoImage(SmallDemo(11));
  ASSERT_EQ(image.Cells.size(), 2u);
  const auto at = [&](const TWordDynArray& plane, const TPointD& p) {
    return plane[static_cast<size_t>(std::lround(p.y)) * 320 + static_cast<size_t>(std::lround(p.x))];
  };
  for (const auto& cell : image.Cells) {
    const TRect box = PolygonBounds(cell.Outline);
    for (const TPointD& p : {cell.NucleusCentre, cell.Centrosome}) {
      EXPECT_GT(p.x, box.left);
      EXPECT_LT(p.x, box.right - 1);
      EXPECT_GT(p.y, box.top);
      EXPECT_LT(p.y, box.bottom - 1);
    }
    // Nuclei of the demo are large enough for the nucleus size limit at its pixel size (25 µm²).
    EXPECT_GT(cell.NucleusArea * image.PixelSize * image.PixelSize, 25e-12 * 1.3);
    const TPointD rim{static_cast<double>(cell.Outline[0].x), static_cast<double>(cell.Outline[0].y)};
    EXPECT_GT(at(image.Nuclei, cell.NucleusCentre), at(image.Nuclei, rim) + 1000);
    EXPECT_GT(at(image.Centrosomes, cell.Centrosome), 1500);
    EXPECT_LT(at(image.Centrosomes, cell.NucleusCentre), 1200);
  }
}

TEST(DemoImage, WritesSiblingChannelFilesCellsAndTruth) {
  test::TempDir dir;
  const TDemoImage image = MakeDemoImage(SmallDemo(3));
  WriteDemoImage(image, dir.File("out"));
  for (const char* name : {kDemoNucleiFile, kDemoCentrosomeFile, kDemoGolgiFile}) {
    TFileStream stream(dir.File(std::string("out/") + name));
    TWordDynArray plane;
    int width = 0, height = 0, planes = 0;
    double pixelSize = 0;
    ASSERT_TRUE(ReadTiffPlane(stream, 0, plane, width, height, planes, pixelSize)) << name;
    EXPECT_EQ(width, 320);
    EXPECT_EQ(planes, 1);
    EXPECT_NEAR(pixelSize, 0.15, 1e-12);
  }
  const TCellsFile cells = ReadCellsFile(dir.File("out/cells.json"));
  EXPECT_EQ(cells.Image, "cell-B.tif");
  ASSERT_EQ(cells.Cells.size(), 2u);
  EXPECT_EQ(cells.Cells[1].Outline, image.Cells[1].Outline);
  const auto truth = test::ReadFileBytes(dir.File("out/truth.tsv"));
  EXPECT_EQ(std::string(truth.begin(), truth.end()), DemoTruthText(image));
}

TEST(DemoImage, RefusesSizesThatCannotHoldTheCells) {
  TDemoOptions options;
  options.Size = 256;
  options.CellCount = 50;
  EXPECT_THROW(MakeDemoImage(options), EArgumentOutOfRange);
  options.CellCount = 0;
  EXPECT_THROW(MakeDemoImage(options), EArgumentOutOfRange);
  options.CellCount = 1;
  options.Size = 32;
  EXPECT_THROW(MakeDemoImage(options), EArgumentOutOfRange);
}

}  // namespace
}  // namespace orbelin
