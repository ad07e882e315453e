#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>

#include <functional>
#include <string>
#include <vector>

#include "foundation/Exceptions.h"
#include "readers/common/CommonFormatReader.h"
#include "readers/common/GifWriter.h"
#include "readers/common/PictureFormat.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

void SavePicture(const QImage& image, const std::string& path, const char* format, int quality = -1) {
  QImageWriter writer(QString::fromStdString(path), format);
  if (quality >= 0) writer.setQuality(quality);
  ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
}

std::vector<std::string> ChannelNames(const TSciImageReader& reader) {
  std::vector<std::string> names;
  for (const auto& channel : reader.StackInfo().Channels) names.push_back(channel.Name);
  return names;
}

TWordDynArray ReadPlane(TSciImageReader& reader, int index) {
  TWordDynArray plane;
  EXPECT_TRUE(reader.ReadImage(index, plane));
  return plane;
}

// Samples of one component of every pixel, widened to 16 bits.
TWordDynArray Expected(const QImage& image, const std::function<int(QRgb)>& component) {
  TWordDynArray samples;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) samples.push_back(static_cast<uint16_t>(component(image.pixel(x, y))));
  return samples;
}

// 5 × 3 pixels whose components all vary, so every one is informative.
QImage VaryingRgb(QImage::Format format = QImage::Format_RGB32) {
  QImage image(5, 3, format);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgba(10 + 40 * x, 200 - 30 * y, 7 * x + 11 * y, 255 - 50 * x));
  return image;
}

TEST(PictureFormat, RecognisedByTheFirstBytes) {
  struct TCase {
    std::vector<uint8_t> head;
    TPictureFormat format;
  };
  const TCase cases[] = {
      {{0x89, 'P', 'N', 'G', 13, 10, 26, 10}, TPictureFormat::pfPng},
      {{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0}, TPictureFormat::pfMetafile},
      {{0x01, 0x00, 0x09, 0x00, 0, 0, 0, 0}, TPictureFormat::pfMetafile},
      {{0x01, 0x00, 0x00, 0x00, 0x6C, 0, 0, 0}, TPictureFormat::pfMetafile},
      {{0x00, 0x00, 0x01, 0x00, 1, 0, 16, 16}, TPictureFormat::pfIcon},
      {{'G', 'I', 'F', '8', '9', 'a', 1, 0}, TPictureFormat::pfGif},
      {{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'}, TPictureFormat::pfJpeg},
      {{'B', 'M', 0x36, 0, 0, 0, 0, 0}, TPictureFormat::pfBitmap},
      {{'I', 'I', 42, 0, 8, 0, 0, 0}, TPictureFormat::pfUnknown},
      {{'B', 'M', 0x36, 0, 0, 0, 0}, TPictureFormat::pfUnknown},  // shorter than 8 bytes
  };
  for (const TCase& c : cases)
    EXPECT_EQ(RecognisePicture(c.head.data(), c.head.size()), c.format) << int(c.head[0]) << " " << c.head.size();
}

TEST(CommonFormatReader, GreyPngIsOneChannelWithThePictureStack) {
  test::TempDir dir;
  QImage grey(4, 3, QImage::Format_Grayscale8);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) grey.scanLine(y)[x] = static_cast<uchar>(x * 60 + y);
  const std::string path = dir.File("grey.png");
  SavePicture(grey, path, "png");

  EXPECT_EQ(TCommonFormatReader::CanRead(path), 10000);
  TCommonFormatReader reader;
  reader.Open(path);
  EXPECT_EQ(ChannelNames(reader), std::vector<std::string>{"Gray scale"});
  const TStackInfo& stack = reader.StackInfo();
  EXPECT_EQ(stack.Channels[0].Color, 0xFFFFFF);
  EXPECT_EQ(stack.ImageCount, 1);
  EXPECT_EQ(stack.PositionNames.Values(), std::vector<std::string>{"Pos 1"});  // frames are positions
  EXPECT_EQ(stack.LevelTypes, (TLevelTypes{dimPosition, dimChannel}));
  EXPECT_EQ(reader.Width(), 4);
  EXPECT_EQ(reader.Height(), 3);
  EXPECT_EQ(reader.BitsPerSample(), 8);
  EXPECT_EQ(reader.SignificantBits(), 8);
  EXPECT_FLOAT_EQ(reader.PixelWidth(), 0.3e-6f);  // 0.3 µm
  EXPECT_EQ(ReadPlane(reader, 0), Expected(grey, [](QRgb p) { return qGray(p); }));
}

TEST(CommonFormatReader, SixteenBitGreyPngKeepsItsSixteenBits) {
  test::TempDir dir;
  QImage grey(3, 2, QImage::Format_Grayscale16);
  const uint16_t values[] = {0, 1, 255, 256, 40000, 65535};
  for (int i = 0; i < 6; ++i) reinterpret_cast<uint16_t*>(grey.scanLine(i / 3))[i % 3] = values[i];
  const std::string path = dir.File("grey16.png");
  SavePicture(grey, path, "png");

  TCommonFormatReader reader;
  reader.Open(path);
  EXPECT_EQ(ChannelNames(reader), std::vector<std::string>{"Gray scale"});
  EXPECT_EQ(reader.BitsPerSample(), 16);
  EXPECT_EQ(ReadPlane(reader, 0), TWordDynArray(std::begin(values), std::end(values)));
}

TEST(CommonFormatReader, ChannelsAreTheInformativeComponents) {
  struct TCase {
    const char* name;
    QImage image;
    const char* format;
    std::vector<std::string> channels;
  };
  QImage noBlue = VaryingRgb();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) noBlue.setPixel(x, y, qRgb(qRed(noBlue.pixel(x, y)), qGreen(noBlue.pixel(x, y)), 0));
  QImage yellow(4, 4, QImage::Format_RGB32);
  yellow.fill(qRgb(255, 255, 0));
  QImage palette(4, 2, QImage::Format_Indexed8);
  palette.setColorTable({qRgb(0, 0, 0), qRgb(200, 10, 90), qRgb(30, 240, 60)});
  palette.fill(1);
  palette.setPixel(2, 1, 2);
  QImage greyPalette(4, 2, QImage::Format_Indexed8);
  greyPalette.setColorTable({qRgb(0, 0, 0), qRgb(77, 77, 77), qRgb(200, 200, 200)});
  greyPalette.fill(1);
  greyPalette.setPixel(3, 0, 2);
  QImage greyRgb(3, 3, QImage::Format_RGB32);
  greyRgb.fill(qRgb(90, 90, 90));
  greyRgb.setPixel(1, 1, qRgb(12, 12, 12));

  const std::vector<std::string> rgb = {"Red", "Green", "Blue"};
  const TCase cases[] = {
      {"rgb png", VaryingRgb(), "png", rgb},
      {"rgba png", VaryingRgb(QImage::Format_ARGB32), "png", {"Red", "Green", "Blue", "Alpha"}},
      {"blue all zero", noBlue, "png", {"Red", "Green"}},
      {"pure yellow", yellow, "png", {"Blank"}},
      {"colour palette", palette, "png", rgb},
      {"grey palette", greyPalette, "png", {"Gray scale"}},
      {"grey in rgb", greyRgb, "png", {"Gray scale"}},
      {"24-bit bmp", VaryingRgb(QImage::Format_RGB888), "bmp", rgb},
      {"grey palette bmp", greyPalette, "bmp", {"Gray scale"}},
  };
  test::TempDir dir;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(std::string(c.name) + "." + c.format);
    SavePicture(c.image, path, c.format);
    TCommonFormatReader reader;
    reader.Open(path);
    ASSERT_EQ(ChannelNames(reader), c.channels);
    ASSERT_EQ(reader.StackInfo().ImageCount, static_cast<int>(c.channels.size()));
    const QImage source = c.image.convertToFormat(QImage::Format_ARGB32);
    for (size_t ch = 0; ch < c.channels.size(); ++ch) {
      const std::string& name = c.channels[ch];
      std::function<int(QRgb)> component = name == "Red"     ? [](QRgb p) { return qRed(p); }
                                           : name == "Green" ? [](QRgb p) { return qGreen(p); }
                                           : name == "Alpha" ? [](QRgb p) { return qAlpha(p); }
                                                             : [](QRgb p) { return qBlue(p); };
      EXPECT_EQ(ReadPlane(reader, static_cast<int>(ch)), Expected(source, component)) << name;
    }
  }
}

TEST(CommonFormatReader, ChannelColoursAndComponentOffsets) {
  test::TempDir dir;
  const std::string path = dir.File("rgba.png");
  SavePicture(VaryingRgb(QImage::Format_ARGB32), path, "png");
  TCommonFormatReader reader;
  reader.Open(path);
  const int32_t colours[] = {0xFF, 0x8000, 0xFF0000, 0xFFFFFF};
  const int32_t offsets[] = {2, 1, 0, 3};
  for (int ch = 0; ch < 4; ++ch) {
    EXPECT_EQ(reader.StackInfo().Channels[ch].Color, colours[ch]);
    EXPECT_EQ(reader.ImageInfos()[ch].Component, offsets[ch]);
  }
}

TEST(CommonFormatReader, JpegAndIconDecodeByTheirSignatures) {
  test::TempDir dir;
  QImage flat(16, 16, QImage::Format_RGB32);
  flat.fill(qRgb(40, 120, 200));
  const std::string jpeg = dir.File("colour.jpg");
  SavePicture(flat, jpeg, "jpeg", 100);
  // A PNG under a JPEG name still decodes as PNG.
  const std::string renamed = dir.File("really-png.jpg");
  QImage grey(16, 16, QImage::Format_Grayscale8);
  grey.fill(33);
  SavePicture(grey, renamed, "png");
  const std::string icon = dir.File("icon.ico");
  SavePicture(flat, icon, "ico");
  EXPECT_EQ(test::ReadFileBytes(icon).at(2), 1);

  TCommonFormatReader reader;
  reader.Open(jpeg);
  EXPECT_EQ(ChannelNames(reader), (std::vector<std::string>{"Red", "Green", "Blue"}));
  const TWordDynArray blue = ReadPlane(reader, 2);
  ASSERT_EQ(blue.size(), 256u);
  EXPECT_NEAR(blue[100], 200, 3);

  reader.Open(renamed);
  EXPECT_EQ(ChannelNames(reader), std::vector<std::string>{"Gray scale"});
  EXPECT_EQ(ReadPlane(reader, 0), TWordDynArray(256, 33));

  reader.Open(icon);
  EXPECT_EQ(ChannelNames(reader), (std::vector<std::string>{"Red", "Green", "Blue"}));
  EXPECT_EQ(ReadPlane(reader, 1), TWordDynArray(256, 120));
}

TEST(CommonFormatReader, UnreadableFilesFailWithTheStepThatFailed) {
  test::TempDir dir;
  struct TCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int canRead;
    const char* step;
  };
  std::vector<uint8_t> metafile(64, 0);
  metafile[0] = 0xD7, metafile[1] = 0xCD, metafile[2] = 0xC6, metafile[3] = 0x9A;
  QImage image = VaryingRgb();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "png");
  std::vector<uint8_t> truncated(png.begin(), png.begin() + 40);
  const TCase cases[] = {
      {"drawing.wmf", metafile, 10000, "Cannot decode metafile pictures on this system."},
      {"notes.png", std::vector<uint8_t>(64, 'x'), 0, "Cannot recognise picture format."},
      {"cut.png", truncated, 10000, "Cannot load picture."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(c.name);
    test::WriteFile(path, c.bytes);
    EXPECT_EQ(TCommonFormatReader::CanRead(path), c.canRead);
    TCommonFormatReader reader;
    try {
      reader.Open(path);
      FAIL() << "opened";
    } catch (const ESciImageReaderError& error) {
      EXPECT_EQ(error.Message(), "Invalid format. Cannot open file (" + path + "). (" + c.step + ")");
    }
    EXPECT_FALSE(reader.Opened());
    EXPECT_EQ(reader.LastError(), -10003);
    EXPECT_TRUE(reader.CachedFileName().empty());
  }
}

std::array<std::array<uint8_t, 3>, 256> GreyPalette() {
  std::array<std::array<uint8_t, 3>, 256> palette{};
  for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  return palette;
}

std::array<std::array<uint8_t, 3>, 256> ColourPalette() {
  std::array<std::array<uint8_t, 3>, 256> palette{};
  for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
  return palette;
}

// frames × (width × height) indices, each frame with its own pattern.
std::vector<test::TGifFrame> GifFrames(int count, int width, int height, const std::vector<uint16_t>& delays) {
  std::vector<test::TGifFrame> frames;
  for (int f = 0; f < count; ++f) {
    test::TGifFrame frame;
    for (int i = 0; i < width * height; ++i) frame.Indices.push_back(static_cast<uint8_t>(f * 40 + i * 3));
    frame.DelayCs = delays[static_cast<size_t>(f)];
    frames.push_back(frame);
  }
  return frames;
}

class FrameDimension : public testing::Test {
protected:
  ~FrameDimension() override { SetCommonFormatFrameDimension(fdPositions); }
};

TEST_F(FrameDimension, ColourGifFramesBecomePositions) {
  test::TempDir dir;
  const std::string path = dir.File("anim.gif");
  // 300 pixels per frame: the writer's clear codes are exercised too.
  test::WriteFile(path, test::WriteGif(20, 15, ColourPalette(), GifFrames(5, 20, 15, {5, 5, 5, 5, 5})));
  SetCommonFormatFrameDimension(fdPositions);
  TCommonFormatReader reader;
  reader.Open(path);
  EXPECT_EQ(ChannelNames(reader), (std::vector<std::string>{"Red", "Green", "Blue"}));
  EXPECT_EQ(reader.PositionCount(), 5);
  EXPECT_EQ(reader.StackInfo().PositionNames.Values(),
            (std::vector<std::string>{"Pos 1", "Pos 2", "Pos 3", "Pos 4", "Pos 5"}));
  EXPECT_EQ(reader.StackInfo().PositionXY[3], (TPointF{3, 0}));
  EXPECT_EQ(reader.StackInfo().Channels[1].Color, 0x8000);

  // Green of position 3: the palette's green of each index.
  reader.SetPosition(3);
  reader.SetChannel(1);
  TWordDynArray plane;
  ASSERT_TRUE(reader.ReadCurrentImage(plane));
  ASSERT_EQ(plane.size(), 300u);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(plane[i], 255 - uint8_t(3 * 40 + i * 3)) << i;
  EXPECT_EQ(reader.CachedFrame(), 3);
  // Red of position 0 brings frame 0 back into the cache.
  EXPECT_EQ(ReadPlane(reader, 0)[1], 3);
  EXPECT_EQ(reader.CachedFrame(), 0);
}

TEST_F(FrameDimension, GreyGifFramesAsTimePointsAndPlanes) {
  test::TempDir dir;
  const std::string path = dir.File("grey.gif");
  test::WriteFile(path, test::WriteGif(6, 4, GreyPalette(), GifFrames(3, 6, 4, {10, 30, 50})));

  SetCommonFormatFrameDimension(fdTimePoints);
  TCommonFormatReader reader;
  reader.Open(path);
  EXPECT_EQ(ChannelNames(reader), std::vector<std::string>{"Gray scale"});
  EXPECT_EQ(reader.ImageInfos()[0].Component, 15);
  EXPECT_EQ(reader.TimePointCount(), 3);
  EXPECT_EQ(reader.PositionCount(), 1);
  EXPECT_EQ(reader.StackInfo().PositionNames.Values(), std::vector<std::string>{"Origin"});
  // Each frame starts once the frames before it were shown for their delays.
  ASSERT_EQ(reader.StackInfo().TimeStamps.size(), 3u);
  EXPECT_DOUBLE_EQ(reader.StackInfo().TimeStamps[1], 0.1);
  EXPECT_DOUBLE_EQ(reader.StackInfo().TimeStamps[2], 0.4);
  EXPECT_DOUBLE_EQ(reader.StackInfo().TimeInterval, 0.2);
  EXPECT_EQ(reader.StackInfo().LevelTypes, (TLevelTypes{dimTime, dimChannel}));
  const TWordDynArray frame2 = ReadPlane(reader, 2);
  ASSERT_EQ(frame2.size(), 24u);
  EXPECT_EQ(frame2[5], 80 + 15);

  SetCommonFormatFrameDimension(fdPlanes);
  reader.Open(path);
  EXPECT_EQ(reader.PlaneCount(), 3);
  EXPECT_EQ(reader.StackInfo().PlanePositions, (std::vector<float>{0, 0.5f, 1.0f}));
  EXPECT_FLOAT_EQ(reader.ImageInfos()[2].StageZ, 1.0f);
  EXPECT_FLOAT_EQ(reader.StackInfo().PlaneSpacing, 0.5f);
  EXPECT_EQ(reader.StackInfo().LevelTypes, (TLevelTypes{dimPlane, dimChannel}));
}

TEST(CommonFormatReader, ReopeningTheSameFileKeepsTheDecodedPicture) {
  test::TempDir dir;
  const std::string first = dir.File("first.png");
  const std::string second = dir.File("second.png");
  QImage grey(2, 2, QImage::Format_Grayscale8);
  grey.fill(5);
  SavePicture(grey, first, "png");
  grey.fill(9);
  SavePicture(grey, second, "png");

  TCommonFormatReader reader;
  reader.Open(first);
  EXPECT_EQ(reader.CachedFileName(), first);
  // Another picture of the same size written over the file: the reopened
  // reader still shows the picture it decoded.
  test::WriteFile(first, test::ReadFileBytes(second));
  reader.Open(first);
  EXPECT_EQ(ReadPlane(reader, 0), TWordDynArray(4, 5));
  reader.Open(second);
  EXPECT_EQ(reader.CachedFileName(), second);
  EXPECT_EQ(ReadPlane(reader, 0), TWordDynArray(4, 9));
  reader.Close();
  EXPECT_TRUE(reader.CachedFileName().empty());
  EXPECT_EQ(reader.CachedFrame(), -1);
}

}  // namespace
}  // namespace orbelin
