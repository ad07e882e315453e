#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

using test::RunCli;

std::vector<std::string> SplitText(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
    parts.push_back(text.substr(start, at - start));
  parts.push_back(text.substr(start));
  return parts;
}

// Measurement rows by name: the values after the name.
std::map<std::string, std::vector<std::string>> Rows(const std::vector<std::string>& lines) {
  std::map<std::string, std::vector<std::string>> rows;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> fields = SplitText(lines[i], "\t");
    const std::string name = fields.front();
    fields.erase(fields.begin());
    rows[name] = fields;
  }
  return rows;
}

class CliAnalyse : public testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    const test::TRun demo = RunCli(*dir_, "demo '" + Demo() + "' --size 512 --cells 6 --seed 21");
    ASSERT_EQ(demo.status, 0) << demo.err;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Demo() { return dir_->File("demo"); }
  static std::string Quoted(const std::string& name) { return "'" + dir_->File(name) + "'"; }

  static test::TempDir* dir_;
};

test::TempDir* CliAnalyse::dir_ = nullptr;

TEST_F(CliAnalyse, DemoThenAnalyseGivesATableForEveryCell) {
  const std::string kinds = " --kind R=centrosome --kind g=golgi";
  const test::TRun run =
      RunCli(*dir_, "analyse '" + Demo() + "/cell-B.tif' --cells '" + Demo() + "/cells.json'" + kinds);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = SplitText(run.out, "\r\n");
  EXPECT_EQ(lines[0], Demo() + "/cell-B.tif");
  ASSERT_EQ(lines.size(), 1u + 5 + 6 + 11 + 12);  // file name, cell, nucleus, MTOC and Golgi rows
  EXPECT_EQ(lines[1], "Image\t1\t1\t1\t1\t1\t1");
  EXPECT_EQ(lines[2], "Cell#\t1\t2\t3\t4\t5\t6");
  auto rows = Rows(lines);
  for (int i = 0; i < 6; ++i) {
    EXPECT_GT(std::stoll(rows["Nuclear size"][i]), 1111) << "cell " << i + 1;  // 25 µm² at 0.15 µm/px
    EXPECT_GT(std::stoll(rows["MTOC size"][i]), 0) << "cell " << i + 1;
    EXPECT_EQ(rows["Manual correction"][i], "0");
    EXPECT_GT(std::stoll(rows["Golgi count"][i]), 0) << "cell " << i + 1;
    EXPECT_EQ(rows["Golgi size on nucleus"][i], "0");
  }

  // With no files named, the image comes from the cells file; one row per cell to a file.
  const test::TRun byCell = RunCli(
      *dir_, "analyse --cells '" + Demo() + "/cells.json'" + kinds + " --by-cell --out " + Quoted("table.tsv"));
  ASSERT_EQ(byCell.status, 0) << byCell.err;
  EXPECT_EQ(byCell.out, "");
  const std::vector<std::string> cellLines = SplitText(test::Slurp(dir_->File("table.tsv")), "\r\n");
  ASSERT_EQ(cellLines.size(), 8u);
  EXPECT_EQ(cellLines[1].rfind("Image\tCell#\tCell center-X\tCell center-Y\tCell size\tNucleus center-X\t", 0), 0u);
  EXPECT_EQ(SplitText(cellLines[1], "\t").size(), 34u);
  EXPECT_EQ(cellLines[7].rfind("1\t6\t", 0), 0u);
}

TEST_F(CliAnalyse, AHandPlacedMarkerIsAManualCorrection) {
  // The first cell of the demo, its marker moved to a fixed point; the second cell untouched.
  const std::string cells = test::Slurp(Demo() + "/cells.json");
  const std::vector<std::string> lines = SplitText(cells, "\n");
  std::string first = lines[3];  // {"frame": 0, "outline": [...]},
  first.insert(first.rfind('}'), ", \"mtoc\": [40, 41]");
  std::string second = lines[4];
  if (second.back() == ',') second.pop_back();
  const std::string text = "{\"cells\": [" + first + second + "]}";
  test::WriteFile(dir_->File("moved.json"), std::vector<uint8_t>(text.begin(), text.end()));

  const test::TRun run = RunCli(*dir_, "analyse '" + Demo() + "/cell-B.tif' --cells " + Quoted("moved.json") +
                                              " --kind 2=centrosome");
  ASSERT_EQ(run.status, 0) << run.err;
  auto rows = Rows(SplitText(run.out, "\r\n"));
  EXPECT_EQ(rows["MTOC center-X"][0], "40");
  EXPECT_EQ(rows["MTOC center-Y"][0], "41");
  EXPECT_EQ(rows["Manual correction"], (std::vector<std::string>{"1", "0"}));
  EXPECT_GT(std::stoll(rows["MTOC size"][0]), 0);  // still the detected spot
}

TEST_F(CliAnalyse, EmptyCasesBadFilesAndBadArguments) {
  test::WriteFile(dir_->File("none.json"), std::vector<uint8_t>{'{', '"', 'c', 'e', 'l', 'l', 's', '"', ':', '[', ']', '}'});
  test::WriteFile(dir_->File("broken.json"), std::vector<uint8_t>{'{', '"', 'c', 'e', 'l', 'l', 's', '"', ':', '['});
  test::WriteFile(dir_->File("junk.tif"), std::vector<uint8_t>(64, 'x'));
  const std::string later = "{\"cells\": [{\"frame\": 1, \"outline\": [[1, 1], [9, 1], [9, 9]]}]}";
  test::WriteFile(dir_->File("later.json"), std::vector<uint8_t>(later.begin(), later.end()));
  const std::string image = " '" + Demo() + "/cell-B.tif'";
  const std::string cells = " --cells '" + Demo() + "/cells.json'";
  const struct {
    std::string arguments;
    int status;
    std::string errorStart;
  } cases[] = {
      {image + " --cells " + Quoted("none.json"), 2, "Hold Control and draw cells for analysis.\n"},
      {image + cells + " --kind B=none", 2, "No analysis method is specified.\n"},
      {image + " --cells " + Quoted("broken.json"), 1,
       "orbelin-cli analyse: " + dir_->File("broken.json") + ": malformed JSON: parse error at line 1, column 11"},
      {image + " --cells " + Quoted("missing.json"), 1, "orbelin-cli analyse: " + dir_->File("missing.json")},
      {" " + Quoted("junk.tif") + cells, 1, "orbelin-cli analyse: " + dir_->File("junk.tif") + ": not a readable image"},
      {image + " --cells " + Quoted("later.json"), 1,
       "orbelin-cli analyse: " + dir_->File("later.json") + ": frame 1 at /cells/0/frame, the image has 1 frames"},
      {image + cells + " --out " + Quoted("no/such/folder/t.tsv"), 1, "orbelin-cli analyse: " + dir_->File("no/such/folder/t.tsv")},
      {image, 2, "usage: orbelin-cli analyse"},
      {image + cells + " --kind X=nucleus", 2, "orbelin-cli analyse: no channel \"X\""},
      {image + cells + " --kind B=organelle", 2, "orbelin-cli analyse: \"B=organelle\" is not CHANNEL=KIND"},
  };
  for (const auto& c : cases) {
    const test::TRun run = RunCli(*dir_, "analyse" + c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
    EXPECT_EQ(run.err.rfind(c.errorStart, 0), 0u) << c.arguments << "\n" << run.err;
    EXPECT_EQ(run.out, "") << c.arguments;
  }
}

TEST(CliDemo, RefusesBadArgumentsAndImpossibleLayouts) {
  test::TempDir dir;
  EXPECT_EQ(RunCli(dir, "demo").status, 2);
  EXPECT_EQ(RunCli(dir, "demo '" + dir.File("a") + "' --size big").status, 2);
  const test::TRun crowded = RunCli(dir, "demo '" + dir.File("a") + "' --size 256 --cells 40");
  EXPECT_EQ(crowded.status, 1);
  EXPECT_EQ(crowded.err, "orbelin-cli demo: 40 cells do not fit into a 256x256 image.\n");
}

}  // namespace
}  // namespace orbelin
