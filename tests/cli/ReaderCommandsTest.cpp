#include <gtest/gtest.h>

#include <QImage>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliRun.h"
#include "fixtures/TiffWriter.h"
#include "support/Sha256.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

using test::RunCli;
using test::TRun;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// A 3 × 2 picture whose blue is 0 everywhere: two channels, Red and Green.
std::string WriteRedGreenPng(const test::TempDir& dir) {
  QImage image(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) image.setPixel(x, y, qRgb(10 * x + y, 200 + 20 * x + y, 0));
  const std::string path = dir.File("cells.png");
  EXPECT_TRUE(image.save(QString::fromStdString(path), "png"));
  return path;
}

std::string Pgm16(int width, int height, const std::vector<uint16_t>& samples) {
  std::string pgm = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
  for (uint16_t sample : samples) {
    pgm += static_cast<char>(sample >> 8);
    pgm += static_cast<char>(sample & 0xFF);
  }
  return pgm;
}

TEST(CliInfo, DescribesPicturesThroughTheirReader) {
  test::TempDir dir;
  const std::string png = WriteRedGreenPng(dir);
  const TRun run = RunCli(dir, "info " + Quoted(png));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, png +
                         "\n  width: 3\n  height: 2\n  reader: TCommonFormatReader\n"
                         "  sizes: time 1, position 1, plane 1, channel 2\n"
                         "  pixel type: uint8, 8 bits (8 significant)\n"
                         "  pixel size: 0.3 \xC2\xB5m/px\n"
                         "  compression: 0\n"
                         "  channel 0: \"Red\", colour 0x0000FF, wavelength 0 nm\n"
                         "  channel 1: \"Green\", colour 0x008000, wavelength 0 nm\n"
                         "  position 0: \"Pos 1\" at (0, 0)\n");

  // A picture file that does not decode names the failing step (the decoder may add its own line first).
  const std::string broken = dir.File("broken.png");
  test::WriteFile(broken, {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0});
  const TRun failed = RunCli(dir, "info " + Quoted(broken));
  EXPECT_EQ(failed.status, 1);
  const std::string message = broken + ": Invalid format. Cannot open file (" + broken + "). (Cannot load picture.)\n";
  ASSERT_GE(failed.err.size(), message.size());
  EXPECT_EQ(failed.err.substr(failed.err.size() - message.size()), message);
}

TEST(CliInfo, JsonListsEveryFile) {
  test::TempDir dir;
  const std::string png = WriteRedGreenPng(dir);
  const std::string tiff = dir.File("stack.tif");
  test::WriteFile(tiff, fixtures::WriteTiff({}, 2, 1, {{1, 2}, {3, 4}, {5, 6}}));
  const TRun run = RunCli(dir, "info --json " + Quoted(png) + " " + Quoted(tiff));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json all = nlohmann::json::parse(run.out);
  ASSERT_EQ(all.size(), 2u);
  const nlohmann::json& picture = all[0];
  EXPECT_EQ(picture["file"], png);
  EXPECT_EQ(picture["reader"], "TCommonFormatReader");
  EXPECT_EQ(picture["sizes"], (nlohmann::json{{"time", 1}, {"position", 1}, {"plane", 1}, {"channel", 2}}));
  EXPECT_EQ(picture["channels"][1]["name"], "Green");
  EXPECT_EQ(picture["channels"][1]["color"], "0x008000");
  EXPECT_EQ(picture["positions"][0]["name"], "Pos 1");
  EXPECT_EQ(picture["bitsPerSample"], 8);
  EXPECT_NEAR(picture["pixelSizeUm"].get<double>(), 0.3, 1e-6);
  const nlohmann::json& stack = all[1];
  EXPECT_EQ(stack["reader"], "TIFF");
  EXPECT_EQ(stack["width"], 2);
  EXPECT_EQ(stack["planes"], 3);
  EXPECT_TRUE(stack["pixelSizeUm"].is_null());
}

TEST(CliPlane, WritesOnePlaneAsSixteenBitPgm) {
  test::TempDir dir;
  const std::string png = WriteRedGreenPng(dir);
  const std::string out = dir.File("green.pgm");
  TRun run = RunCli(dir, "plane " + Quoted(png) + " --position 0 --channel 1 --out " + Quoted(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::Slurp(out), Pgm16(3, 2, {200, 220, 240, 201, 221, 241}));

  const std::string tiff = dir.File("stack.tif");
  test::WriteFile(tiff, fixtures::WriteTiff({}, 2, 1, {{1, 2}, {300, 65535}}));
  run = RunCli(dir, "plane " + Quoted(tiff) + " --position 1 --channel 0 --out " + Quoted(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::Slurp(out), Pgm16(2, 1, {300, 65535}));
}

TEST(CliPlane, RefusesWhatTheFileDoesNotHold) {
  test::TempDir dir;
  const std::string png = WriteRedGreenPng(dir);
  const std::string out = dir.File("plane.pgm");
  struct TCase {
    std::string arguments;
    int status;
    std::string err;
  };
  const TCase cases[] = {
      {"--position 0 --channel 2", 1, "orbelin-cli plane: Index of channel (2) out of range.\n"},
      {"--position 1 --channel 0", 1, "orbelin-cli plane: Index of position (1) out of range.\n"},
      {"--position 0 --channel 0 --time 3", 1, "orbelin-cli plane: Index of time point (3) out of range.\n"},
      {"--position 0 --channel -1", 2, ""},
      {"--position 0", 2, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    const TRun run = RunCli(dir, "plane " + Quoted(png) + " " + c.arguments + " --out " + Quoted(out));
    EXPECT_EQ(run.status, c.status);
    if (c.status == 2)
      EXPECT_EQ(run.err.rfind("usage: orbelin-cli plane", 0), 0u) << run.err;
    else
      EXPECT_EQ(run.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

// The CZI sample with its reference plane: info and plane agree with the file's listing.
TEST(CliCorpus, CziInfoAndPlaneMatchTheReference) {
  ORBELIN_REQUIRE_CORPUS(corpus);
  test::TempDir dir;
  const std::string czi = (corpus / "czi/zen32_gray16_T3Z5C2_raw.czi").string();
  const TRun info = RunCli(dir, "info --json " + Quoted(czi));
  ASSERT_EQ(info.status, 0) << info.err;
  const nlohmann::json description = nlohmann::json::parse(info.out)[0];
  EXPECT_EQ(description["sizes"], (nlohmann::json{{"time", 3}, {"position", 1}, {"plane", 5}, {"channel", 2}}));
  EXPECT_EQ(description["channels"][0]["name"], "LED555");
  EXPECT_EQ(description["channels"][1]["name"], "LED470");

  const std::string out = dir.File("plane.pgm");
  const TRun plane = RunCli(dir, "plane " + Quoted(czi) + " --position 0 --channel 0 --time 0 --plane 0 --out " + Quoted(out));
  ASSERT_EQ(plane.status, 0) << plane.err;
  const std::string pgm = test::Slurp(out);
  const std::string header = "P5\n240 170\n65535\n";
  ASSERT_EQ(pgm.compare(0, header.size(), header), 0);
  // The reference digest is over little-endian samples; the PGM holds them big-endian.
  std::string little = pgm.substr(header.size());
  ASSERT_EQ(little.size(), 240u * 170u * 2u);
  for (size_t i = 0; i < little.size(); i += 2) std::swap(little[i], little[i + 1]);
  EXPECT_EQ(test::Sha256Hex(little.data(), little.size()).substr(0, 16), "fba09face880eb33");
}

}  // namespace
}  // namespace orbelin
