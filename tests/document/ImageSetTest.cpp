#include "document/ImageSet.h"

#include <gtest/gtest.h>

#include "FakeImageFiles.h"
#include "document/ChannelFiles.h"
#include "foundation/Exceptions.h"

namespace orbelin {
namespace {

using test::TFakeImage;
using test::TFakeImageFiles;

// A one-channel image with one plane per value, every sample of a plane equal to it.
TFakeImage Stack(std::vector<uint16_t> values, int32_t width = 4, int32_t height = 3) {
  TFakeImage image;
  image.Width = width;
  image.Height = height;
  for (uint16_t value : values) image.Planes.push_back({test::FilledPlane(image, value)});
  return image;
}

std::vector<std::string> FileNames(const TImageSet& set) {
  std::vector<std::string> names;
  for (const auto& channel : set.Channels()) names.push_back(channel.FileName);
  return names;
}

TEST(SplitChannelFileName, SuffixIsTheTextAfterTheLastHyphen) {
  struct TCase {
    const char* path;
    const char* stem;
    const char* suffix;
    const char* ext;
  } cases[] = {
      {"/data/cell-g.tif", "/data/cell", "G", ".tif"},
      {"/data/cell-FAR RED.tiff", "/data/cell", "FAR RED", ".tiff"},
      {"/my-data/cells.tif", "/my", "DATA/CELLS", ".tif"},  // the folder's hyphen counts
      {"/data/plain.tif", "/data/plain.tif", "", ".tif"},
      {"/data/cell-r", "/data/cell", "R", ""},
  };
  for (const auto& c : cases) {
    const TChannelFileName parts = SplitChannelFileName(c.path);
    EXPECT_EQ(parts.Stem, c.stem) << c.path;
    EXPECT_EQ(parts.Suffix, c.suffix) << c.path;
    EXPECT_EQ(parts.Ext, c.ext) << c.path;
  }
}

TEST(OpenFiles, LoneChannelFilePullsInItsSiblingsInOrder) {
  TFakeImageFiles files;
  const std::string green = files.AddTiff("a-G.tif", Stack({1}));
  const std::string farRed = files.AddTiff("a-FAR RED.tif", Stack({3}));
  const std::string red = files.AddTiff("a-R.tif", Stack({2}));
  files.AddTiff("b-B.tif", Stack({4}));

  TImageSet set(files.Formats());
  set.OpenFiles({green});
  EXPECT_EQ(FileNames(set), (std::vector<std::string>{green, red, farRed}));
  EXPECT_EQ(set.Channels()[2].Name, "FAR RED");
  EXPECT_EQ(set.ChannelCount(), 3);

  // Starting from another member finds the same set, itself first.
  set.OpenFiles({farRed});
  EXPECT_EQ(FileNames(set), (std::vector<std::string>{farRed, green, red}));

  // Two files given: no siblings are looked for.
  set.OpenFiles({green, red});
  EXPECT_EQ(FileNames(set), (std::vector<std::string>{green, red}));
}

TEST(OpenFiles, UnreadableFilesAreSkipped) {
  TFakeImageFiles files;
  const std::string junk = files.AddJunk("junk.tif");
  const std::string good = files.AddTiff("good.tif", Stack({7, 8}));
  const std::string empty = files.AddTiff("empty.tif", Stack({1}, 0, 3));
  const std::string negative = files.AddReaderFile("negative.czi", Stack({1}, 4, -3));
  TImageSet set(files.Formats());
  set.OpenFiles({junk, files.Dir().File("missing.tif"), empty, negative, good});
  EXPECT_EQ(FileNames(set), (std::vector<std::string>{good}));
  EXPECT_EQ(set.CurrentFrame(), 0);

  set.OpenFiles({junk});
  EXPECT_FALSE(set.IsOpen());
  EXPECT_EQ(set.CurrentFrame(), -1);
  EXPECT_TRUE(set.Frames().empty());
}

TEST(OpenFiles, FrameCountIsTheSmallestPositionCount) {
  TFakeImageFiles files;
  TImageSet set(files.Formats());
  set.OpenFiles({files.AddTiff("p5.tif", Stack({1, 1, 1, 1, 1})), files.AddTiff("p3.tif", Stack({1, 2, 3})),
                 files.AddTiff("p7.tif", Stack({1, 1, 1, 1, 1, 1, 1}))});
  EXPECT_EQ(set.FrameCount(), 3);
  EXPECT_EQ(set.Frames().size(), 3u);
  EXPECT_EQ(set.Frames()[0].ChannelData.size(), 3u);
}

TEST(GoToFrame, ClampsToTheFrames) {
  TFakeImageFiles files;
  TImageSet set(files.Formats());
  set.OpenFiles({files.AddTiff("s.tif", Stack({10, 20, 30}))});
  EXPECT_EQ(set.CurrentFrame(), 0);
  EXPECT_FALSE(set.GoToFrame(-5));
  EXPECT_TRUE(set.GoToFrame(set.FrameCount() + 3));
  EXPECT_EQ(set.CurrentFrame(), 2);
  EXPECT_EQ(set.Frames()[2].ChannelData[0].RawPlane.front(), 30);
  EXPECT_FALSE(set.GoToFrame(2));
  EXPECT_TRUE(set.GoToFrame(1));
  EXPECT_EQ(set.Frames()[1].ChannelData[0].MaxValue, 20);
}

TEST(OpenFiles, DisplayBitsFromSignificantBitsOrTheLargestSample) {
  struct TCase {
    uint16_t largest;
    int32_t significantBits;
    int32_t bitsPerSample;
    bool viaReader;
    int32_t displayBits;
  } cases[] = {
      {255, 0, 8, false, 8},   {300, 0, 8, false, 10},  {4095, 0, 16, false, 12},
      {5000, 0, 16, false, 14}, {40000, 0, 16, false, 16},
      {300, 12, 16, true, 12},  // the reader's significant bits win
      {300, 0, 8, true, 8},     // a reader of 8-bit samples means 8 bits
      {300, 0, 16, true, 10},
  };
  for (const auto& c : cases) {
    TFakeImageFiles files;
    TFakeImage image = Stack({0, 60000});
    image.Planes[0][0][5] = c.largest;
    image.SignificantBits = c.significantBits;
    image.BitsPerSample = c.bitsPerSample;
    TImageSet set(files.Formats());
    set.OpenFiles({c.viaReader ? files.AddReaderFile("x.czi", image) : files.AddTiff("x.tif", image)});
    EXPECT_EQ(set.DisplayBits(), c.displayBits) << c.largest << " " << c.significantBits;
  }
}

TEST(OpenFiles, SizeMismatchLeavesTheSetClosed) {
  TFakeImageFiles files;
  const std::string small = files.AddTiff("small.tif", Stack({1}, 4, 3));
  const std::string wide = files.AddTiff("wide.tif", Stack({1}, 5, 3));
  TImageSet set(files.Formats());
  set.OpenFiles({small});
  try {
    set.OpenFiles({small, wide});
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Error: Image must have the same dimension.");
  }
  EXPECT_FALSE(set.IsOpen());
  EXPECT_EQ(set.ChannelCount(), 0);
  EXPECT_EQ(set.Channels().Count(), 0);
  EXPECT_TRUE(set.Frames().empty());
  EXPECT_EQ(set.CurrentFrame(), -1);
  EXPECT_EQ(set.ImageWidth(), 0);

  // A set that fails later, on its first plane, is closed as well.
  TFakeImage broken = Stack({1, 2});
  broken.Planes[0].clear();
  try {
    set.OpenFiles({files.AddTiff("broken.tif", broken)});
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Failed to open file.");
  }
  EXPECT_FALSE(set.IsOpen());
  EXPECT_TRUE(set.Frames().empty());

  set.OpenFiles({small});
  EXPECT_TRUE(set.IsOpen());
}

TEST(LoadPlane, CountsTheHistogramAndKeepsTheReaderOpen) {
  TFakeImageFiles files;
  TFakeImage image;
  image.Width = 3;
  image.Height = 2;
  image.ChannelNames = {"DAPI", "EGFP"};
  image.Planes = {{{5, 5, 9, 0, 7, 5}, {0, 0, 0, 0, 0, 0}}, {{1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 70}}};
  const std::string first = files.AddReaderFile("one.czi", image);
  const std::string second = files.AddReaderFile("two.czi", image);

  TImageSet set(files.Formats());
  set.OpenFiles({first, second});
  ASSERT_EQ(set.ChannelCount(), 4);
  const TChannelData& data = set.Frames()[0].ChannelData[0];
  EXPECT_EQ(data.Histogram[5], 3u);
  EXPECT_EQ(data.Histogram[0], 1u);
  EXPECT_EQ(data.MinValue, 0);
  EXPECT_EQ(data.MaxValue, 9);
  const TChannelData& zeros = set.Frames()[0].ChannelData[1];
  EXPECT_EQ(zeros.MinValue, 0);
  EXPECT_EQ(zeros.MaxValue, 0);

  // The plane reader is reopened only when the file changes.
  EXPECT_EQ(files.ReadersCreated(), 2 + 1);  // one per description, one kept for planes
  EXPECT_EQ(files.ReaderOpens(), 2 + 2);  // two describing opens, then one per file
  set.GoToFrame(1);
  EXPECT_EQ(files.ReaderOpens(), 4 + 2);
  EXPECT_EQ(set.Frames()[1].ChannelData[3].MinValue, 2);
  EXPECT_EQ(set.Frames()[1].ChannelData[3].MaxValue, 70);
  set.LoadPlane(1, 1);
  EXPECT_EQ(files.ReaderOpens(), 6 + 1);  // back to the first file

  set.Frames()[1].ChannelData[3].Background = 40;
  set.LoadPlane(3, 1);
  EXPECT_EQ(set.Frames()[1].ChannelData[3].Background, 0);
}

TEST(LoadPlane, ShortPlanesArePaddedToTheImageSize) {
  TFakeImageFiles files;
  TFakeImage image = Stack({4});
  image.Planes[0][0].resize(5);
  TImageSet set(files.Formats());
  set.OpenFiles({files.AddTiff("short.tif", image)});
  EXPECT_EQ(set.Frames()[0].ChannelData[0].RawPlane.size(), 12u);
  EXPECT_EQ(set.Frames()[0].ChannelData[0].Histogram[0], 7u);
}

// Seven frames, every plane loaded, every frame with a cell and with processed and mask planes.
struct Trimming : ::testing::Test {
  TFakeImageFiles files;
  TImageSet set{files.Formats()};
  int measurements = 0;
  int aboveLimitFor = 0;  // measurements that report too much memory

  void SetUp() override {
    set.SetResidentSetSource([this] { return ++measurements <= aboveLimitFor ? kWorkingSetLimit + 1 : kWorkingSetLimit; });
    set.OpenFiles({files.AddTiff("seven.tif", Stack({1, 2, 3, 4, 5, 6, 7}))});
    for (int32_t f = 0; f < 7; ++f) {
      set.LoadPlane(0, f);
      TFrame& frame = set.Frames()[static_cast<size_t>(f)];
      frame.AddCell(std::make_unique<test::TPlainCell>());
      frame.ChannelData[0].ProcessedPlane.assign(12, 1);
      frame.ChannelData[0].MaskPlane.assign(3, 1);
    }
  }

  // Which of processed, raw and mask planes each frame still holds, as "PRM" letters or "-".
  std::string Planes() const {
    std::string text;
    for (const auto& frame : set.Frames()) {
      const TChannelData& data = frame.ChannelData[0];
      text += data.ProcessedPlane.empty() ? '-' : 'P';
      text += data.RawPlane.empty() ? '-' : 'R';
      text += data.MaskPlane.empty() ? '-' : 'M';
      text += ' ';
    }
    return text;
  }

  void Prepare(int above, int32_t frame) {
    measurements = 0;
    aboveLimitFor = above;
    set.PrepareFrame(frame);
  }
};

TEST_F(Trimming, FreesProcessedThenRawThenMaskPlanesOfDistantFrames) {
  // Current frame 0, requested frame 4: frames 2 and 6 are at distance >= 2 from both.
  Prepare(0, 4);
  EXPECT_EQ(Planes(), "PRM PRM PRM PRM PRM PRM PRM ");
  Prepare(1, 4);
  EXPECT_EQ(Planes(), "PRM PRM -RM PRM PRM PRM -RM ");
  Prepare(2, 4);
  EXPECT_EQ(Planes(), "PRM PRM --M PRM PRM PRM --M ");
  Prepare(3, 4);
  EXPECT_EQ(Planes(), "PRM PRM --- PRM PRM PRM --- ");
  EXPECT_EQ(measurements, 3);

  // A freed raw plane is read again when its frame is prepared.
  Prepare(0, 2);
  EXPECT_EQ(set.Frames()[2].ChannelData[0].RawPlane.front(), 3);
}

TEST_F(Trimming, FramesWithoutCellsLoseDerivedPlanes) {
  set.Frames()[5].DeleteLastCell(true);
  Prepare(0, 0);
  EXPECT_EQ(Planes(), "PRM PRM PRM PRM PRM -R- PRM ");
}

TEST(ImageSet, SlotsAndAlgorithmsFromChannelNamesAcrossOpenings) {
  TFakeImageFiles files;
  TFakeImage image = Stack({1});
  image.ChannelNames = {"DAPI", "EGFP", "mCherry"};
  image.Planes[0] = {test::FilledPlane(image, 1), test::FilledPlane(image, 2), test::FilledPlane(image, 3)};
  image.PixelSize = 0.645e-6;
  const std::string path = files.AddReaderFile("cells.czi", image);

  TImageSet set(files.Formats());
  set.OpenFiles({path});
  EXPECT_EQ(set.Slots().SlotChannel, (std::array<int32_t, kColorSlotCount>{1, 2, 0, -1, -1, -1, -1}));
  EXPECT_EQ(set.Channels().Algorithm(0), daNucleus);
  EXPECT_EQ(set.SizeText(), "4 × 3; 0.6450 µm/px");

  EXPECT_FALSE(set.SetSlotChannel(csRed, 3));  // index equal to the channel count
  EXPECT_TRUE(set.SetSlotChannel(csRed, 1));
  EXPECT_TRUE(set.SetSlotChannel(csGreen, 2));
  EXPECT_TRUE(set.SetSlotVisible(csGreen, false));
  set.Channels().SetAlgorithm(0, daNone);
  set.Channels().SetAlgorithm(2, daNucleus);

  // Reopening remembers the user's choices and restores visibility.
  set.OpenFiles({path});
  EXPECT_EQ(set.LastSlotName()[csRed], "EGFP");
  EXPECT_EQ(set.LastAlgorithmChannel()[daNucleus], "MCHERRY");
  EXPECT_EQ(set.Slots().SlotChannel, (std::array<int32_t, kColorSlotCount>{2, 1, 0, -1, -1, -1, -1}));
  EXPECT_TRUE(set.Slots().SlotVisible[csGreen]);
  EXPECT_EQ(set.Channels().Algorithm(0), daNone);
  EXPECT_EQ(set.Channels().Algorithm(2), daNucleus);
}

TEST(ImageSet, SetContrastClampsAndReportsChanges) {
  TImageSet set;
  EXPECT_DOUBLE_EQ(set.Contrast(), 0.01);
  EXPECT_FALSE(set.SetContrast(0.01));
  EXPECT_TRUE(set.SetContrast(1.5));
  EXPECT_DOUBLE_EQ(set.Contrast(), 0.999);
  EXPECT_TRUE(set.SetContrast(-5));
  EXPECT_DOUBLE_EQ(set.Contrast(), -0.001);
  EXPECT_FALSE(set.SetContrast(-1.0 / 10000));  // the "Full range" item
}

}  // namespace
}  // namespace orbelin
