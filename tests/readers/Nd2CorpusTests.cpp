#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "foundation/Stream.h"
#include "readers/Nd2TestSupport.h"
#include "readers/nd2/Nd2PixelData.h"
#include "support/Sha256.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

// What the corpus manifest lists for each ND2 file.
struct TCorpusFile {
  const char* name;
  int width, height, channels, timePoints;
  std::vector<std::string> channelNames;
};

const TCorpusFile kFiles[] = {
    {"nd2/nis_C4_256x256_u16.nd2", 256, 256, 4, 1, {"Mono", "DAPI", "FITC BP", "TRITC BP"}},
    {"nd2/nis_C2_DIC_FITC_256x256_u16.nd2", 256, 256, 2, 1, {"DIC", "FITC BP"}},
    {"nd2/nis_T53_64x64_u16.nd2", 64, 64, 1, 53, {}},
};

TEST(Nd2Corpus, FilesOpenWithTheirListedDimensionsAndChannels) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  for (const TCorpusFile& file : kFiles) {
    SCOPED_TRACE(file.name);
    TFileStream stream((corpus / file.name).string());
    TNd2Header header;
    std::vector<std::string> reports;
    ASSERT_EQ(ReadNd2Header(stream, header, [&](const std::string& text) { reports.push_back(text); }), 0);
    EXPECT_EQ(header.Width, file.width);
    EXPECT_EQ(header.Height, file.height);
    EXPECT_EQ(header.Components, file.channels);
    EXPECT_EQ(header.TimePoints, file.timePoints);
    EXPECT_EQ(header.Positions, 1);
    EXPECT_EQ(header.Planes, 1);
    EXPECT_EQ(header.BitsPerSample, 16);
    EXPECT_EQ(header.CompressionMode, cmUncompressed);
    EXPECT_EQ(static_cast<int64_t>(header.ImageDataChunks.size()), header.SequenceCount);
    for (size_t c = 0; c < file.channelNames.size(); ++c) EXPECT_EQ(header.Channels[c].Name, file.channelNames[c]);
    EXPECT_GT(header.PixelWidth, 0);
  }
}

TEST(Nd2Corpus, FirstFramesMatchTheReferenceStatistics) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  std::ifstream reference(corpus / "REFERENCE.tsv");
  ASSERT_TRUE(reference.good());
  std::string line;
  std::getline(reference, line);  // header
  int checked = 0;
  while (std::getline(reference, line)) {
    std::istringstream fields(line);
    std::string name, what, channel, minimum, maximum, mean, digest;
    std::getline(fields, name, '\t');
    if (name.rfind("nd2/", 0) != 0) continue;
    std::getline(fields, what, '\t');
    std::getline(fields, channel, '\t');
    std::getline(fields, minimum, '\t');
    std::getline(fields, maximum, '\t');
    std::getline(fields, mean, '\t');
    std::getline(fields, digest, '\t');
    SCOPED_TRACE(name + " channel " + channel);
    ASSERT_NE(what.find("ImageDataSeq|0"), std::string::npos);

    test::TNd2Opened opened;
    opened.header = TNd2Header{};
    TFileStream stream((corpus / name).string());
    ASSERT_EQ(ReadNd2Header(stream, opened.header, {}), 0);
    std::vector<uint8_t> frame;
    ASSERT_TRUE(ReadNd2SequenceData(stream, opened.header, 0, frame));
    const TWordDynArray plane = test::Nd2ChannelPlane(opened.header, frame, std::stoi(channel));
    uint16_t low = 65535, high = 0;
    double sum = 0;
    for (uint16_t v : plane) {
      low = std::min(low, v);
      high = std::max(high, v);
      sum += v;
    }
    EXPECT_EQ(low, std::stoi(minimum));
    EXPECT_EQ(high, std::stoi(maximum));
    EXPECT_NEAR(sum / static_cast<double>(plane.size()), std::stod(mean), 0.0006);
    EXPECT_EQ(test::Sha256Hex(plane.data(), plane.size() * 2).substr(0, 16), digest);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

}  // namespace
}  // namespace orbelin
