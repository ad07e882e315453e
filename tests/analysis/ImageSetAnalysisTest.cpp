#include <gtest/gtest.h>

#include "analysis/CellAnalyser.h"
#include "analysis/CellData.h"
#include "document/ImageSet.h"
#include "document/FakeImageFiles.h"

namespace orbelin {
namespace {

// Records how the analysis placed the marker.
class TRecordingShapes final : public TCellShapes {
public:
  explicit TRecordingShapes(TPoints outline) : outline_(std::move(outline)) {}
  const TPoints& OutlinePoints() const override { return outline_; }
  bool HasMarker() const override { return hasMarker_; }
  TPoint MarkerPoint() const override { return marker_; }
  void SetMarkerPoint(const TPoint& point) override { marker_ = point; }
  void PlaceMarker(const TPoint& point, bool shown) override {
    hasMarker_ = true;
    marker_ = point;
    placedShown = shown;
  }
  void RemoveMarker() override { hasMarker_ = false; }
  TRegionOfInterest* OutlineRoi() const override { return nullptr; }
  TRegionOfInterest* MarkerRoi() const override { return nullptr; }
  void Release() override {}

  bool placedShown = false;

private:
  TPoints outline_;
  bool hasMarker_ = false;
  TPoint marker_;
};

// A 90 × 80 image of 100 with one bright square.
test::TFakeImage Square(int32_t x0, int32_t y0, int32_t size, uint16_t value) {
  test::TFakeImage image;
  image.Width = 90;
  image.Height = 80;
  TWordDynArray plane = test::FilledPlane(image, 100);
  for (int32_t y = y0; y < y0 + size; ++y)
    for (int32_t x = x0; x < x0 + size; ++x) plane[static_cast<size_t>(y) * 90 + x] = value;
  image.Planes = {{plane}};
  return image;
}

TEST(ImageSetAnalysisTest, LoadsPlanesThroughTheSetAndShowsMarkersOfTheCurrentFrame) {
  test::TFakeImageFiles files;
  const std::string blue = files.AddTiff("cell-B.tif", Square(5, 5, 55, 1000));
  const std::string red = files.AddTiff("cell-R.tif", Square(70, 40, 5, 3000));
  TImageSet set(files.Formats());
  set.OpenFiles({blue, red});
  ASSERT_EQ(set.ChannelCount(), 2);
  ASSERT_EQ(set.CurrentFrame(), 0);
  const int32_t spotChannel = set.Channels()[0].FileName == red ? 0 : 1;
  set.Channels().SetAlgorithm(spotChannel, daCentrosome);
  set.Channels().SetAlgorithm(1 - spotChannel, daNucleus);
  for (auto& data : set.Frames()[0].ChannelData) data.RawPlane.clear();  // read again on demand

  auto shapes = std::make_unique<TRecordingShapes>(TPoints{{2, 2}, {85, 2}, {85, 75}, {2, 75}});
  TRecordingShapes& recorded = *shapes;
  set.Frames()[0].AddCell(std::make_unique<TCellData>(std::move(shapes)));
  TCellAnalyser analyser(set);
  ASSERT_TRUE(analyser.AnalyseFrame(0, false));

  auto& cell = dynamic_cast<TCellData&>(*set.Frames()[0].Cells[0]);
  EXPECT_EQ(cell.ObjectCount[1 - spotChannel], 1u);
  EXPECT_EQ(cell.MtocDetected, (TPoint{72, 42}));
  EXPECT_TRUE(recorded.HasMarker());
  EXPECT_TRUE(recorded.placedShown);
}

}  // namespace
}  // namespace orbelin
