// CZI files written by other software: each opens with the sizes and channels
// it is known to hold, and its reference plane decodes to the recorded
// minimum, maximum, mean and digest.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "readers/czi/ZeissCziReader.h"
#include "support/Sha256.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

struct TCorpusFile {
  const char* name;
  int times, planes, channels, positions, width, height;
};

// The reference plane is the first image: every index at its lowest value, channel 0.
const TCorpusFile kFiles[] = {
    {"czi/zen32_gray16_T3Z5C2_raw.czi", 3, 5, 2, 1, 240, 170},
    {"czi/pylibczirw_gray16_T3Z5C2_zstd1.czi", 3, 5, 2, 1, 240, 170},
    {"czi/zen36_S3_mosaic_T2Z3C2_raw.czi", 2, 3, 2, 3, 64, 64},
    {"czi/pylibczirw_gray16_zstd0.czi", 1, 1, 1, 1, 512, 512},
    {"czi/zen37_S2_wells_pyramid.czi", 1, 1, 1, 2, 544, 440},
    {"czi/zen23_gray8_C2.czi", 1, 1, 2, 1, 640, 640},
    {"czi/zen31_bgr24_C7.czi", 1, 1, 21, 1, 147, 81},
    {"czi/lsm_gray8_M4_T2Z2C2.czi", 2, 2, 2, 1, 256, 256},
    {"czi/zen37_lls7_T2Z3C2.czi", 2, 3, 2, 1, 64, 64},
};

struct TReference {
  int minimum = -1, maximum = -1;
  double mean = 0;
  std::string digest;
};

TReference ReferenceOf(const std::filesystem::path& corpus, const std::string& name) {
  std::ifstream in(corpus / "REFERENCE.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string file, what, channel;
    std::getline(fields, file, '\t');
    if (file != name) continue;
    std::getline(fields, what, '\t');
    std::getline(fields, channel, '\t');
    TReference reference;
    fields >> reference.minimum >> reference.maximum >> reference.mean >> reference.digest;
    return reference;
  }
  return {};
}

// The plane as its samples were stored: one byte each for 8-bit files, two (little-endian) otherwise.
std::vector<uint8_t> StoredBytes(const TWordDynArray& plane, bool eightBit) {
  std::vector<uint8_t> bytes;
  for (uint16_t v : plane) {
    bytes.push_back(static_cast<uint8_t>(v));
    if (!eightBit) bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  return bytes;
}

TEST(CziCorpus, EveryFileOpensAndItsReferencePlaneMatches) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  for (const TCorpusFile& f : kFiles) {
    SCOPED_TRACE(f.name);
    const std::string path = (corpus / f.name).string();
    EXPECT_GT(TZeissCziReader::CanRead(path), 5000);
    TZeissCziReader reader;
    ASSERT_NO_THROW(reader.Open(path));
    EXPECT_EQ(reader.TimePointCount(), f.times);
    EXPECT_EQ(reader.PlaneCount(), f.planes);
    EXPECT_EQ(reader.ChannelCount(), f.channels);
    EXPECT_EQ(reader.PositionCount(), f.positions);
    EXPECT_EQ(reader.Width(), f.width);
    EXPECT_EQ(reader.Height(), f.height);

    // The reference covers the stored subblock: for colour pixels all components interleaved.
    const int components = reader.StackInfo().ChannelGroups[0].Count;
    TWordDynArray plane(static_cast<size_t>(f.width * f.height * components));
    for (int k = 0; k < components; ++k) {
      TWordDynArray component;
      ASSERT_TRUE(reader.ReadImage(k, component));
      ASSERT_EQ(component.size(), static_cast<size_t>(f.width * f.height));
      for (size_t i = 0; i < component.size(); ++i) plane[i * components + k] = component[i];
    }
    const TReference reference = ReferenceOf(corpus, f.name);
    ASSERT_FALSE(reference.digest.empty()) << "no reference line";
    const bool eightBit = reader.ImageInfo().PixelType == ptUInt8;
    double sum = 0;
    int minimum = 65535, maximum = 0;
    for (uint16_t v : plane) {
      sum += v;
      minimum = std::min<int>(minimum, v);
      maximum = std::max<int>(maximum, v);
    }
    EXPECT_EQ(minimum, reference.minimum);
    EXPECT_EQ(maximum, reference.maximum);
    EXPECT_NEAR(sum / static_cast<double>(plane.size()), reference.mean, 0.0005);
    const std::vector<uint8_t> bytes = StoredBytes(plane, eightBit);
    EXPECT_EQ(test::Sha256Hex(bytes.data(), bytes.size()).substr(0, 16), reference.digest);
  }
}

TEST(CziCorpus, CompressedAndUncompressedTwinsDecodeToTheSamePlanes) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  TZeissCziReader raw, packed;
  raw.Open((corpus / "czi/zen32_gray16_T3Z5C2_raw.czi").string());
  packed.Open((corpus / "czi/pylibczirw_gray16_T3Z5C2_zstd1.czi").string());
  ASSERT_EQ(raw.StackInfo().ImageCount, packed.StackInfo().ImageCount);
  int compared = 0;
  for (int index = 0; index < raw.StackInfo().ImageCount; ++index) {
    TWordDynArray a, b;
    const bool readA = raw.ReadImage(index, a), readB = packed.ReadImage(index, b);
    ASSERT_EQ(readA, readB) << index;
    if (!readA) continue;
    EXPECT_EQ(a, b) << index;
    ++compared;
  }
  EXPECT_EQ(compared, 30);
}

}  // namespace
}  // namespace orbelin
