#include <gtest/gtest.h>

#include "document/Composite.h"
#include "document/ImageSet.h"
#include "fixtures/TiffWriter.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

// The real readers behind the image set: sibling files, planes per frame, bits from the samples.
TEST(TiffImageSet, OpensSiblingStacksThroughTheTiffReader) {
  test::TempDir dir;
  fixtures::TTiffOptions options;
  // 20000 pixels per centimetre: 0.5 µm per pixel.
  options.extraTags = {fixtures::ShortTag(296, {3}), fixtures::RationalTag(282, 20000, 1)};
  const std::string green = dir.File("a-G.tif");
  test::WriteFile(green, fixtures::WriteTiff(options, 3, 2, {{1, 2, 3, 4, 5, 300}, {7, 7, 7, 7, 7, 7}}));
  options.bigEndian = true;
  test::WriteFile(dir.File("a-FAR RED.tif"), fixtures::WriteTiff(options, 3, 2, {{9, 9, 9, 9, 9, 9}, {8, 8, 8, 8, 8, 8}, {1, 1, 1, 1, 1, 1}}));

  TImageSet set;
  set.OpenFiles({green});
  ASSERT_EQ(set.ChannelCount(), 2);
  EXPECT_EQ(set.Channels()[1].Name, "FAR RED");
  EXPECT_EQ(set.FrameCount(), 2);
  EXPECT_EQ(set.DisplayBits(), 10);  // largest sample 300
  EXPECT_DOUBLE_EQ(set.Channels()[0].PixelSize, 0.5e-6);
  EXPECT_EQ(set.Frames()[0].ChannelData[0].MaxValue, 300);
  set.GoToFrame(1);
  EXPECT_EQ(set.Frames()[1].ChannelData[1].RawPlane, TWordDynArray(6, 8));
}

TEST(TiffImageSet, CorpusStackRendersEveryFrame) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  TImageSet set;
  set.OpenFiles({(corpus / "tiff" / "tifffile_u16_11slices_101_LE.tif").string()});
  ASSERT_EQ(set.ChannelCount(), 1);
  EXPECT_EQ(set.FrameCount(), 11);
  EXPECT_EQ(set.ImageWidth(), 101);
  TBgrImage image;
  set.GoToFrame(10);
  ASSERT_TRUE(ComposeFrame(set, image).Drawn);
  EXPECT_EQ(image.Pixels.size(), 101u * 101u * 3u);
  // The single channel lands in Green (fill step): blue and red stay black, green is not.
  uint8_t blueOrRed = 0, green = 0;
  for (size_t i = 0; i < image.Pixels.size(); i += 3) {
    blueOrRed = std::max({blueOrRed, image.Pixels[i], image.Pixels[i + 2]});
    green = std::max(green, image.Pixels[i + 1]);
  }
  EXPECT_EQ(blueOrRed, 0);
  EXPECT_EQ(green, 255);
}

TEST(CziImageSet, CorpusScenesBecomeFramesWithSlotsByChannelName) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  TImageSet set;
  set.OpenFiles({(corpus / "czi" / "zen36_S3_mosaic_T2Z3C2_raw.czi").string()});
  ASSERT_EQ(set.ChannelCount(), 2);
  EXPECT_EQ(set.FrameCount(), 3);
  EXPECT_EQ(set.Channels()[0].Name, "DAPI");
  EXPECT_EQ(set.Slots().SlotChannel[csBlue], 0);
  EXPECT_EQ(set.Slots().SlotChannel[csGreen], 1);
  EXPECT_EQ(set.Channels().Algorithm(0), daNucleus);
  EXPECT_EQ(set.DisplayBits(), 12);  // the significant bits the file declares

  // Frames of one file share the open plane reader.
  set.GoToFrame(2);
  const TChannelData& data = set.Frames()[2].ChannelData[1];
  EXPECT_EQ(data.RawPlane.size(), static_cast<size_t>(set.ImageWidth()) * set.ImageHeight());
  EXPECT_GT(data.MaxValue, data.MinValue);
}

}  // namespace
}  // namespace orbelin
