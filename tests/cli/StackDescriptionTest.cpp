#include <gtest/gtest.h>

#include "cli/StackDescription.h"
#include "readers/framework/ChannelGroups.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

// A microscope stack with everything a description can show: two channels,
// two positions, a mosaic dimension, optics and multi-line text info.
class TMicroscopeStack : public TSciImageReader {
protected:
  int ReadHeader(const std::string&, TStackInfo& stack, TImageInfos& images) override {
    stack.Sizes[dimPosition] = 2;
    stack.Sizes[dimMosaic] = 3;
    SetChannelCount(stack, 2);
    stack.Channels = {{0xFF00, "GFP", "", 525}, {0xFF, "mCherry", "Epifluorescence", 610}};
    stack.PositionNames = {"well A1", "well B2"};
    stack.PositionXY = {{0.001f, -0.002f}, {0.5f, 0.25f}};
    stack.Optics.ObjectiveName = "Plan Apo 60x Oil";
    stack.Optics.ObjectiveMagnification = 60;
    stack.Optics.NumericalAperture = 1.4f;
    stack.TextInfo.SetValue("Author", "");
    stack.TextInfo.SetValue("Description", "first line\r\nsecond line");
    TImageInfo info;
    info.Width = 4;
    info.Height = 2;
    info.PixelType = ptUInt16;
    info.SignificantBits = 12;
    info.PixelWidth = 0.1e-6f;
    info.Compression = 2;
    images.assign(12, info);
    return 0;
  }
  bool ReadImageData(int, TByteDynArray&) override { return false; }
};

TEST(StackDescription, TextAndJsonOfAMicroscopeStack) {
  test::TempDir dir;
  const std::string path = dir.File("cells.bin");
  test::WriteFile(path, {0});
  cli::TImageFile file;
  file.Reader = std::make_unique<TMicroscopeStack>();
  file.ReaderName = "TMicroscopeStack";
  file.Reader->Open(path);

  const auto description = cli::DescribeImageFile(path, file);
  EXPECT_EQ(cli::DescriptionText(description),
            path +
                "\n  width: 4\n  height: 2\n  reader: TMicroscopeStack\n"
                "  sizes: time 1, position 2, plane 1, mosaic 3, channel 2\n"
                "  pixel type: uint16, 16 bits (12 significant)\n"
                "  pixel size: 0.1 \xC2\xB5m/px\n"
                "  compression: 2\n"
                "  channel 0: \"GFP\", colour 0x00FF00, wavelength 525 nm\n"
                "  channel 1: \"mCherry\", colour 0x0000FF, wavelength 610 nm, illumination Epifluorescence\n"
                "  position 0: \"well A1\" at (0.001, -0.002)\n"
                "  position 1: \"well B2\" at (0.5, 0.25)\n"
                "  optics objective: Plan Apo 60x Oil\n"
                "  optics magnification: 60\n"
                "  optics numericalAperture: 1.4\n"
                "  text Description: first line\n    second line\n");
  EXPECT_EQ(description["sizes"]["mosaic"], 3);
  EXPECT_EQ(description["imageCount"], 12);
  EXPECT_EQ(description["optics"]["objective"], "Plan Apo 60x Oil");
  EXPECT_EQ(description["optics"]["zoom"], 0);
  EXPECT_EQ(description["textInfo"]["Description"], "first line\r\nsecond line");
  EXPECT_EQ(description["textInfo"]["Author"], "");
  EXPECT_EQ(description["channels"][1]["illumination"], "Epifluorescence");
}

}  // namespace
}  // namespace orbelin
