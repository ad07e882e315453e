// The abstract reader's protocol over a reader whose header and image bytes
// are set by the test: opening, consistency, setters, channel groups,
// de-interleaving and the conversion to 16-bit planes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "foundation/Exceptions.h"
#include "foundation/FileClasses.h"
#include "foundation/Logger.h"
#include "readers/czi/ZeissCziReader.h"
#include "readers/framework/ChannelGroups.h"
#include "readers/framework/ReaderRegistry.h"
#include "readers/framework/SciImageReader.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

class TScriptedReader : public TSciImageReader {
public:
  std::function<int(TStackInfo&, TImageInfos&)> Header;
  std::function<bool(int, TByteDynArray&)> Data;

protected:
  int ReadHeader(const std::string&, TStackInfo& stack, TImageInfos& images) override { return Header(stack, images); }
  bool ReadImageData(int index, TByteDynArray& data) override { return Data(index, data); }
};

class ReaderFramework : public ::testing::Test {
protected:
  test::TempDir dir;
  std::string file = dir.File("stack.bin");
  void SetUp() override { test::WriteFile(file, {1, 2, 3}); }
};

// A stack of the given sizes, one image info of width × height per image.
std::function<int(TStackInfo&, TImageInfos&)> Stack(int times, int planes, int channels, int width = 2,
                                                    int height = 1, uint8_t pixelType = ptUInt8) {
  return [=](TStackInfo& stack, TImageInfos& images) {
    stack.Sizes[dimTime] = times;
    stack.Sizes[dimPlane] = planes;
    SetChannelCount(stack, channels);
    TImageInfo info;
    info.Width = width;
    info.Height = height;
    info.PixelType = pixelType;
    images.assign(static_cast<size_t>(times * planes * channels), info);
    return 0;
  };
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ESciImageReaderError& error) {
    return error.what();
  }
  return "";
}

TEST_F(ReaderFramework, OpenFailuresNameTheFileAndTheFailingStep) {
  TScriptedReader reader;
  reader.Header = [](TStackInfo& stack, TImageInfos& images) {
    stack.Sizes[dimTime] = 3;
    images.resize(2);  // three images announced, two described
    Log("Step that went wrong.");
    return 0;
  };
  EXPECT_EQ(MessageOf([&] { reader.Open(file); }),
            "Invalid format. Cannot open file (" + file + "). (Cannot calculate Time Interval or Plane Space.)");
  EXPECT_EQ(reader.LastError(), -10003);
  EXPECT_FALSE(reader.Opened());
  EXPECT_EQ(reader.FileName(), "");

  reader.Header = [](TStackInfo&, TImageInfos&) {
    Log("Incorrect header size.");
    return -1;
  };
  EXPECT_EQ(MessageOf([&] { reader.Open(file); }),
            "Invalid format. Cannot open file (" + file + "). (Incorrect header size.)");
  EXPECT_EQ(reader.LastError(), -1);

  const std::string missing = dir.File("missing.czi");
  EXPECT_EQ(MessageOf([&] { reader.Open(missing); }), "File (" + missing + ") doesn't exists.");
  EXPECT_EQ(reader.LastError(), -10001);
}

TEST_F(ReaderFramework, OpenDerivesStepsSizesAndSampleWidths) {
  struct TCase {
    int times, planes;
    std::vector<double> stamps;
    std::vector<float> positions;
    double interval;
    float spacing;
  };
  const TCase cases[] = {
      {1, 1, {0}, {0}, 0, 0},
      {2, 1, {0, 10}, {0}, 10, 0},
      {3, 3, {5, 6, 9}, {1, 2, 5}, 2, 2},
  };
  for (const TCase& c : cases) {
    TScriptedReader reader;
    reader.Header = [&](TStackInfo& stack, TImageInfos& images) {
      Stack(c.times, c.planes, 1, 4, 3, ptUInt16)(stack, images);
      stack.TimeStamps = c.stamps;
      stack.PlanePositions = c.positions;
      return 0;
    };
    int changes = 0;
    reader.OnChange = [&](TSciImageReader&) { ++changes; };
    reader.Open(file);
    EXPECT_DOUBLE_EQ(reader.StackInfo().TimeInterval, c.interval);
    EXPECT_FLOAT_EQ(reader.StackInfo().PlaneSpacing, c.spacing);
    EXPECT_EQ(reader.StackInfo().ImageCount, c.times * c.planes);
    EXPECT_EQ(reader.BitsPerSample(), 16);
    EXPECT_EQ(reader.BytesPerSample(), 2);
    EXPECT_EQ(reader.PixelCount(), 12);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Logger().Last(), "Succeeded.");
  }
}

TEST_F(ReaderFramework, SettersCheckTheRangeAndMoveTheCurrentImage) {
  TScriptedReader reader;
  reader.Header = Stack(2, 3, 2);
  // A closed reader ignores coordinate changes.
  EXPECT_NO_THROW(reader.SetChannel(7));
  reader.Open(file);
  int changes = 0;
  reader.OnChange = [&](TSciImageReader&) { ++changes; };
  EXPECT_EQ(MessageOf([&] { reader.SetChannel(-1); }), "Index of channel (-1) out of range.");
  EXPECT_EQ(MessageOf([&] { reader.SetPlane(3); }), "Index of plane (3) out of range.");
  EXPECT_EQ(MessageOf([&] { reader.SetTimePoint(2); }), "Index of time point (2) out of range.");
  EXPECT_EQ(MessageOf([&] { reader.SetPosition(1); }), "Index of position (1) out of range.");
  reader.SetTimePoint(1);
  reader.SetPlane(2);
  reader.SetChannel(1);
  reader.SetChannel(1);  // unchanged: no notification
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(reader.CurrentImage(), (1 * 3 + 2) * 2 + 1);
  reader.Close();
  EXPECT_EQ(reader.CurrentImage(), 0);
  EXPECT_EQ(reader.ChannelCount(), 0);
}

TEST(ChannelGroups, LayoutsResizeMergeAndNameTheChannels) {
  TStackInfo stack;
  SetChannelCount(stack, 3);
  SetChannelLayout(stack, 1, clBGR);
  ASSERT_EQ(stack.Sizes[dimChannel], 5);
  EXPECT_EQ(stack.ChannelGroups[2].First, 4);
  EXPECT_EQ(stack.ChannelGroupOf, (TCardinalDynArray{0, 1, 1, 1, 2}));

  stack.Channels = {{0, "DAPI", "", 460}, {0, "Brightfield  ", "", 0}, {0, "", "", 0}};
  NameGroupedChannels(stack);
  ASSERT_EQ(stack.Channels.size(), 5u);
  EXPECT_EQ(stack.Channels[0].Name, "DAPI");
  EXPECT_EQ(stack.Channels[1].Name, "Brightfield - Blue");
  EXPECT_EQ(stack.Channels[3].Name, "Brightfield - Red");
  EXPECT_EQ(stack.Channels[3].Color, 0xFF);
  EXPECT_FLOAT_EQ(stack.Channels[2].Wavelength, 530);
  EXPECT_EQ(stack.Channels[4].Name, "");

  SetChannelLayout(stack, 1, clNone);  // stored as a single channel
  EXPECT_EQ(stack.ChannelGroups[1].Layout, clSingle);
  EXPECT_EQ(stack.Sizes[dimChannel], 3);

  MergeChannelGroup(stack, 0, 2);
  ASSERT_EQ(stack.ChannelGroups.size(), 1u);
  EXPECT_EQ(stack.ChannelGroups[0].Layout, clNone);
  EXPECT_EQ(stack.ChannelGroups[0].Count, 3);
  EXPECT_EQ(stack.ChannelGroupOf, (TCardinalDynArray{0, 0, 0}));
}

TEST_F(ReaderFramework, ReadImageTakesTheChannelOutOfItsGroup) {
  // One clNone group of two interleaved 16-bit channels, as multi-component frames are stored.
  TScriptedReader reader;
  reader.Header = [](TStackInfo& stack, TImageInfos& images) {
    stack.Sizes[dimTime] = 3;
    SetChannelCount(stack, 2);
    MergeChannelGroup(stack, 0, 1);
    TImageInfo info;
    info.Width = 2;
    info.Height = 1;
    info.PixelType = ptUInt16;
    images.assign(6, info);
    return 0;
  };
  int asked = -1;
  reader.Data = [&](int index, TByteDynArray& data) {
    asked = index;
    const uint16_t samples[] = {10, 20, 11, 21};  // channel 0, channel 1, per pixel
    data.resize(sizeof samples);
    std::memcpy(data.data(), samples, sizeof samples);
    return index != 4;
  };
  reader.Open(file);
  TWordDynArray plane;
  ASSERT_TRUE(reader.ReadImage(5, plane));
  EXPECT_EQ(asked, 5);
  EXPECT_EQ(plane, (TWordDynArray{20, 21}));
  plane = {7};
  EXPECT_FALSE(reader.ReadImage(4, plane));
  EXPECT_EQ(plane, (TWordDynArray{7}));  // a failed read leaves the plane alone
  EXPECT_FALSE(reader.ReadImage(6, plane));
  EXPECT_FALSE(reader.ReadImage(-1, plane));
  EXPECT_EQ(reader.ReadersActive(), 0);
}

TEST(ExtractComponent, PicksEveryCountthSampleAndSkipsRowPadding) {
  const int width = 4;
  TByteDynArray rgb;
  for (int i = 0; i < 3 * width * 2; ++i) rgb.push_back(static_cast<uint8_t>(i));
  TByteDynArray dest;
  ExtractSamples(rgb, ptUInt8, 0, 3, 2, dest);
  EXPECT_EQ(dest, (TByteDynArray{2, 5, 8, 11, 14, 17, 20, 23}));

  // Rows of 3 × width + 2 bytes: the two padding bytes (200, 201) never reach the plane.
  TByteDynArray padded;
  for (int row = 0; row < 2; ++row) {
    for (int i = 0; i < 3 * width; ++i) padded.push_back(static_cast<uint8_t>(row * 100 + i));
    padded.push_back(200);
    padded.push_back(201);
  }
  ExtractSamples(padded, ptUInt8, 3 * width + 2, 3, 2, dest);
  EXPECT_EQ(dest, (TByteDynArray{2, 5, 8, 11, 102, 105, 108, 111}));

  const uint16_t words[] = {1, 2, 3, 4, 5, 6};
  TByteDynArray wide(sizeof words);
  std::memcpy(wide.data(), words, sizeof words);
  ExtractSamples(wide, ptUInt16, 0, 2, 1, dest);
  TWordDynArray plane;
  ConvertTo16(dest, ptUInt16, plane);
  EXPECT_EQ(plane, (TWordDynArray{2, 4, 6}));
}

template <class T>
TByteDynArray BytesOf(std::initializer_list<T> values) {
  TByteDynArray bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}

TEST(ConvertTo16, WidensCopiesAndStretchesEveryPixelType) {
  struct TCase {
    const char* what;
    int pixelType;
    TByteDynArray data;
    TWordDynArray expected;
  };
  const TCase cases[] = {
      {"8-bit widened", ptUInt8, {0, 7, 255}, {0, 7, 255}},
      {"16-bit copied", ptUInt16, BytesOf<uint16_t>({1, 65535}), {1, 65535}},
      {"32-bit stretched", ptUInt32, BytesOf<uint32_t>({0, 100, 1000}), {0, 6554, 65535}},
      {"32-bit below 256 kept", ptUInt32, BytesOf<uint32_t>({3, 255}), {3, 255}},
      {"64-bit stretched", ptInt64, BytesOf<int64_t>({-1000, 0, 1000}), {0, 32768, 65535}},
      {"64-bit below 256 kept", ptInt64, BytesOf<int64_t>({0, 200}), {0, 200}},
      {"float stretched", ptFloat32, BytesOf<float>({0.25f, 0.5f, 1.25f}), {0, 16384, 65535}},
      {"flat zero float stays dark", ptFloat32, BytesOf<float>({0.0f, 0.0f}), {0, 0}},
      {"complex magnitude", ptComplex, BytesOf<double>({3, 4, 0, 0, 0, 10}), {32768, 0, 65535}},
  };
  for (const TCase& c : cases) {
    TWordDynArray plane;
    ConvertTo16(c.data, c.pixelType, plane);
    EXPECT_EQ(plane, c.expected) << c.what;
  }
}

TEST(ReaderRegistry, ChoosesTheReaderByExtension) {
  const TReaderClass* czi = ReaderClassForFile("/data/cells.CZI");
  ASSERT_NE(czi, nullptr);
  EXPECT_EQ(czi, &ZeissCziReaderClass());
  EXPECT_EQ(ReaderClassForFile("/data/cells.tif"), nullptr);
  EXPECT_EQ(ReaderClassForFile("/data/czi"), nullptr);
  const int index = FileClasses().IndexOfClass(czi);
  ASSERT_GE(index, 0);
  EXPECT_EQ(FileClasses().Items[static_cast<size_t>(index)].Description, "Zeiss CZI file");
  auto reader = CreateReaderForFile("a.czi");
  EXPECT_NE(dynamic_cast<TZeissCziReader*>(reader.get()), nullptr);
}

}  // namespace
}  // namespace orbelin
