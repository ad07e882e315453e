#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "analysis/CellAnalyser.h"
#include "analysis/CellData.h"
#include "analysis/DemoFrame.h"
#include "analysis/DemoImage.h"

namespace orbelin {
namespace {

double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x1 - x2, y1 - y2); }

// The analysis must find in every demo cell what the generator drew there.
TEST(GroundTruth, DemoCellsAreMeasuredWhereTheyWereDrawn) {
  TDemoOptions options;
  options.Seed = 20261211;
  options.Size = 512;
  options.CellCount = 6;
  const TDemoImage image = MakeDemoImage(options);
  TChannelInfos channels;
  TFrames frames;
  LoadDemoFrame(image, channels, frames);
  AddDemoCells(image, frames, 0, image.Cells.size());
  TCellAnalyser analyser(frames, channels);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));

  const TAlgorithmChannels kinds = channels.AlgorithmChannels();
  const auto n = static_cast<size_t>(kinds[daNucleus]);
  const auto g = static_cast<size_t>(kinds[daGolgi]);
  double worstCentre = 0, worstSize = 0, worstMtoc = 0, worstGolgi = 0;
  for (size_t i = 0; i < image.Cells.size(); ++i) {
    const TDemoCell& truth = image.Cells[i];
    const auto& cell = static_cast<const TCellData&>(*frames[0].Cells[i]);
    const double centre = Distance(cell.SignalCentroid[n].x, cell.SignalCentroid[n].y, truth.NucleusCentre.x,
                                   truth.NucleusCentre.y);
    const double size = std::abs(cell.ObjectSize[n] - truth.NucleusArea) / truth.NucleusArea;
    const double mtoc = Distance(cell.MtocPosition.x, cell.MtocPosition.y, truth.Centrosome.x, truth.Centrosome.y);
    const double golgi =
        Distance(cell.SignalCentroid[g].x, cell.SignalCentroid[g].y, truth.GolgiCentre.x, truth.GolgiCentre.y);
    EXPECT_LE(centre, 1.0) << "nucleus centre of cell " << i + 1;
    EXPECT_LE(size, 0.10) << "nuclear size of cell " << i + 1 << ": " << cell.ObjectSize[n] << " for "
                          << truth.NucleusArea;
    EXPECT_LE(mtoc, 1.5) << "MTOC of cell " << i + 1;
    EXPECT_LE(golgi, 3.0) << "Golgi centre of cell " << i + 1;
    EXPECT_EQ(cell.MtocPosition, cell.MtocDetected);
    worstCentre = std::max(worstCentre, centre);
    worstSize = std::max(worstSize, size);
    worstMtoc = std::max(worstMtoc, mtoc);
    worstGolgi = std::max(worstGolgi, golgi);
  }
  std::printf("worst errors over %zu cells: nucleus centre %.2f px, nuclear size %.1f %%, MTOC %.2f px, "
              "Golgi centre %.2f px\n",
              image.Cells.size(), worstCentre, 100 * worstSize, worstMtoc, worstGolgi);
}

}  // namespace
}  // namespace orbelin
