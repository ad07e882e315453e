#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "fixtures/Nd2Writer.h"
#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/Nd2TestSupport.h"
#include "readers/nd2/Nd2LVTree.h"
#include "readers/nd2/Nd2XMLTree.h"

namespace orbelin {
namespace {

using namespace fixtures;
using test::Contains;

// Metadata sits inside a file, so every tree is loaded from a non-zero offset.
constexpr size_t kOffset = 100;

TNd2Value SampleTree() {
  TNd2Value root = LvLevel("SLxRoot");
  root.Add(LvInt32("uiCount", 3));
  root.Add(LvUInt32("uiComp", 2));
  root.Add(LvDouble("dCalibration", 0.25));
  root.Add(LvString("sName", "Cell"));
  root.Add(LvBool("bOn", true));
  root.Add(LvString("dZoom", "high"));
  root.Add(LvLevel("wrapped", {LvLevel("", {LvUInt32("a", 1), LvUInt32("b", 2)})}));
  root.Add(LvLevel("plain", {LvUInt32("x", 5)}));
  root.Add(LvBytes("pItemValid", {1, 0, 1}));
  root.Add(LvLevel("path", {LvLevel("p1", {LvLevel("p2", {LvDouble("leaf", 7)})})}));
  return root;
}

TMemoryStream Embed(const std::vector<uint8_t>& chunk) {
  std::vector<uint8_t> bytes(kOffset + chunk.size() + 16, 0x55);
  for (size_t i = 0; i < chunk.size(); ++i) bytes[kOffset + i] = chunk[i];
  return TMemoryStream(bytes);
}

struct TTreeCase {
  const char* name;
  bool xml;
};

class Nd2Tree : public testing::TestWithParam<TTreeCase> {
protected:
  void SetUp() override {
    const std::vector<uint8_t> chunk = GetParam().xml ? EncodeXML(SampleTree()) : EncodeLV(SampleTree());
    stream_ = Embed(chunk);
    const TReportSink sink = [this](const std::string& text) { reports_.push_back(text); };
    if (GetParam().xml) {
      tree_ = std::make_unique<TND2XMLTree>(sink);
    } else {
      tree_ = std::make_unique<TND2LVTree>(sink);
    }
    tree_->Load(stream_, static_cast<int64_t>(chunk.size()), kOffset);
  }

  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const ESciImageReaderError& error) {
      return error.what();
    }
    return "no error";
  }

  TMemoryStream stream_;
  std::unique_ptr<TND2TreeNavigator> tree_;
  std::vector<std::string> reports_;
};

TEST_P(Nd2Tree, ReadsTypedValuesAndWarnsAboutSignedness) {
  TND2TreeNavigator& t = *tree_;
  EXPECT_TRUE(t.AtRoot());
  EXPECT_EQ(t.ChildCount(), 10);
  EXPECT_EQ(t.ChildName(3), "sName");
  EXPECT_EQ(t.ReadInt64("uiCount"), 3);
  EXPECT_EQ(t.ReadInteger("uiComp"), 2);
  EXPECT_EQ(t.ReadString("sName"), "Cell");
  EXPECT_TRUE(t.ReadBoolean("bOn"));
  EXPECT_DOUBLE_EQ(t.ReadFloat("dCalibration"), 0.25);
  EXPECT_TRUE(reports_.empty());

  EXPECT_EQ(t.ReadUInt64("uiCount"), 3u);
  EXPECT_EQ(reports_, std::vector<std::string>{"\"uiCount\" is signed."});
  EXPECT_EQ(t.ReadInt64("uiComp"), 2);
  EXPECT_TRUE(Contains(reports_, "\"uiComp\" is not signed."));

  t.EnterList("uiCount");
  EXPECT_EQ(t.AsInt64(), 3);
}

TEST_P(Nd2Tree, ReportsMissingAndMistypedValues) {
  TND2TreeNavigator& t = *tree_;
  EXPECT_EQ(ErrorOf([&] { t.ReadString("missing"); }), "\"missing\" not found.");
  EXPECT_EQ(ErrorOf([&] { t.ReadFloat("sName"); }), "\"sName\" is not a float.");
  EXPECT_EQ(ErrorOf([&] { t.ReadString("uiCount"); }), "\"uiCount\" is not a string.");
  EXPECT_EQ(ErrorOf([&] { t.ReadBoolean("uiComp"); }), "\"uiComp\" is not a boolean.");
  EXPECT_EQ(ErrorOf([&] { t.ReadInt64("dCalibration"); }), "\"dCalibration\" is not a integer.");
  EXPECT_EQ(ErrorOf([&] { t.ChildName(10); }), "Node doesn't exists.");
  EXPECT_EQ(ErrorOf([&] { t.EnterChildAt(-1); }), "Node doesn't exists.");
  EXPECT_EQ(ErrorOf([&] { t.Leave(); }), "\"SLxRoot\" has no parent node.");

  // A missing child gives the default; a child of the wrong kind still raises.
  EXPECT_EQ(t.ReadFloatDef("nothing", 0), 0);
  EXPECT_EQ(t.ReadStringDef("nothing", "d"), "d");
  EXPECT_EQ(ErrorOf([&] { t.ReadFloatDef("dZoom", 0); }), "\"dZoom\" is not a float.");
}

TEST_P(Nd2Tree, StepsIntoAndOutOfUnnamedWrappers) {
  TND2TreeNavigator& t = *tree_;
  t.EnterChild("wrapped");
  EXPECT_EQ(t.ChildCount(), 2);
  EXPECT_EQ(t.ReadUInt64("b"), 2u);
  t.Leave();
  EXPECT_TRUE(t.AtRoot());

  t.EnterList("wrapped");
  EXPECT_EQ(t.ChildCount(), 1);
  t.EnterUnnamed();
  EXPECT_EQ(t.ReadUInt64("a"), 1u);
  t.LeaveList();
  EXPECT_EQ(t.ChildCount(), 1);
  t.LeaveList();
  EXPECT_TRUE(t.AtRoot());

  t.EnterChild("plain");
  EXPECT_EQ(t.ReadUInt64("x"), 5u);
  t.Leave();
  EXPECT_TRUE(t.AtRoot());
}

TEST_P(Nd2Tree, EntersPathsAndReturnsToMarks) {
  TND2TreeNavigator& t = *tree_;
  t.Mark();
  EXPECT_TRUE(t.EnterPath({"path", "p1", "p2"}));
  EXPECT_DOUBLE_EQ(t.ReadFloat("leaf"), 7);
  t.ReturnToMark();
  EXPECT_TRUE(t.AtRoot());
  // A failed walk stops on the last name it could enter.
  EXPECT_FALSE(t.EnterPath({"path", "p1", "nope", "x"}));
  EXPECT_TRUE(t.HasChild("p2"));
  t.GoToRoot();
  EXPECT_TRUE(t.AtRoot());
}

TEST_P(Nd2Tree, ReadsItemValidFlags) {
  TND2TreeNavigator& t = *tree_;
  EXPECT_EQ(t.ReadItemValid(4), (std::vector<bool>{true, false, true, true}));
  t.EnterChild("plain");
  EXPECT_EQ(t.ReadItemValid(4), std::vector<bool>(4, true));
}

INSTANTIATE_TEST_SUITE_P(Encodings, Nd2Tree, testing::Values(TTreeCase{"LV", false}, TTreeCase{"XML", true}),
                         [](const testing::TestParamInfo<TTreeCase>& info) { return std::string(info.param.name); });

// Position of the 8-byte table field of the level with this (ASCII) name.
size_t TableFieldOf(const std::vector<uint8_t>& bytes, const std::string& name) {
  std::vector<uint8_t> pattern;
  for (char c : name) {
    pattern.push_back(static_cast<uint8_t>(c));
    pattern.push_back(0);
  }
  pattern.push_back(0);
  pattern.push_back(0);
  const auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  EXPECT_NE(at, bytes.end());
  return static_cast<size_t>(at - bytes.begin()) + pattern.size() + 4;
}

struct TLVLoad {
  TMemoryStream stream;
  std::vector<std::string> reports;
  TND2LVTree tree{[this](const std::string& text) { reports.push_back(text); }};
  explicit TLVLoad(const std::vector<uint8_t>& chunk) : stream(Embed(chunk)) {
    tree.Load(stream, static_cast<int64_t>(chunk.size()), kOffset);
  }
};

TEST(Nd2LVTree, LevelWhoseTableRunsPastTheChunkIsKeptEmpty) {
  std::vector<uint8_t> chunk = EncodeLV(LvLevel("root", {LvLevel("bad", {LvUInt32("x", 1)}), LvUInt32("after", 9)}));
  const uint64_t far = 1 << 20;
  std::memcpy(chunk.data() + TableFieldOf(chunk, "bad"), &far, 8);
  TLVLoad load(chunk);
  ASSERT_EQ(load.reports.size(), 1u);
  EXPECT_EQ(load.reports[0], "Some thing is wrong when reading level \"bad\" at 00007C.");
  EXPECT_EQ(load.tree.ReadUInt64("after"), 9u);
  load.tree.EnterChild("bad");
  EXPECT_EQ(load.tree.ChildCount(), 0);
}

TEST(Nd2LVTree, UnknownTypeIsSkippedAndParsingGoesOn) {
  TLVLoad load(EncodeLV(LvLevel("root", {LvUnknown("odd", 12), LvUInt32("after", 9)})));
  ASSERT_EQ(load.reports.size(), 1u);
  EXPECT_EQ(load.reports[0].rfind("Skip unknown data type \"odd\" at ", 0), 0u);
  EXPECT_EQ(load.tree.ReadUInt64("after"), 9u);
  EXPECT_EQ(load.tree.ChildCount(), 2);
}

TEST(Nd2LVTree, ItemPointingBackAtItsLevelEndsWithAReport) {
  std::vector<uint8_t> chunk = EncodeLV(LvLevel("root", {LvLevel("loop", {LvUInt32("x", 1), LvUInt32("y", 2)})}));
  // Both items of "loop" point at "loop" itself (relative offset 0).
  uint64_t table = 0;
  const size_t field = TableFieldOf(chunk, "loop");
  std::memcpy(&table, chunk.data() + field, 8);
  const size_t loopStart = field - 4 - 2 * 5 - 2;
  std::memset(chunk.data() + loopStart + table, 0, 16);
  TLVLoad load(chunk);
  EXPECT_FALSE(load.reports.empty());
  EXPECT_LE(load.tree.Nodes().size(), chunk.size() / 10 + 1);
}

TEST(Nd2LVTree, AbsoluteLevelTablesAreFilePositions) {
  std::vector<uint8_t> chunk = EncodeLV(LvLevel("root", {LvUInt32("a", 1), LvLevel("sub", {LvUInt32("b", 2)})}));
  // Turn the root into a type-10 level: table and item positions absolute in the file.
  const size_t field = TableFieldOf(chunk, "root");
  uint64_t table = 0;
  std::memcpy(&table, chunk.data() + field, 8);
  for (size_t i = 0; i < 2; ++i) {
    uint64_t item = 0;
    std::memcpy(&item, chunk.data() + table + 8 * i, 8);
    item += kOffset;
    std::memcpy(chunk.data() + table + 8 * i, &item, 8);
  }
  table += kOffset;
  std::memcpy(chunk.data() + field, &table, 8);
  chunk[0] = 10;
  TLVLoad load(chunk);
  EXPECT_TRUE(load.reports.empty());
  EXPECT_EQ(load.tree.ReadUInt64("a"), 1u);
  load.tree.EnterChild("sub");
  EXPECT_EQ(load.tree.ReadUInt64("b"), 2u);
}

TEST(Nd2LVTree, RejectsTruncatedChunksAndMistypedFlags) {
  const std::vector<uint8_t> chunk = EncodeLV(SampleTree());
  TMemoryStream stream = Embed(chunk);
  TND2LVTree tree;
  // The root's item table lies beyond a chunk cut short: the level stays empty.
  tree.Load(stream, static_cast<int64_t>(chunk.size()) - 20, kOffset);
  EXPECT_EQ(tree.ChildCount(), 0);
  // A node cut in the middle of its value fails the load.
  std::vector<uint8_t> tinyBytes(kOffset, 0);
  for (int b : {11, 2, 97, 0, 0, 0, 1, 0}) tinyBytes.push_back(static_cast<uint8_t>(b));
  TMemoryStream tiny(tinyBytes);
  EXPECT_THROW(tree.Load(tiny, 8, kOffset), Exception);
  EXPECT_THROW(tree.Load(stream, 1 << 30, kOffset), Exception);

  TLVLoad flags(EncodeLV(LvLevel("root", {LvUInt32("pItemValid", 1)})));
  EXPECT_THROW(flags.tree.ReadItemValid(2), ESciImageReaderError);
  try {
    flags.tree.ReadItemValid(2);
  } catch (const ESciImageReaderError& error) {
    EXPECT_STREQ(error.what(), "\"pItemValid\" is not a byte array.");
  }
}

TMemoryStream TextStream(const std::string& text) { return TMemoryStream(text.data(), text.size()); }

TEST(Nd2XMLTree, ItemFlagsMissingFromTheListStayValid) {
  TMemoryStream stream = TextStream(
      "<variant><no_name runtype=\"CLxListVariant\"><eType runtype=\"lx_uint32\" value=\"2\"/>"
      "<pItemValid><_00 runtype=\"bool\" value=\"false\"/><_02 runtype=\"bool\" value=\"false\"/></pItemValid>"
      "</no_name></variant>");
  TND2XMLTree tree;
  tree.Load(stream, stream.Size(), 0);
  EXPECT_EQ(tree.ReadUInt64("eType"), 2u);
  EXPECT_EQ(tree.ReadItemValid(4), (std::vector<bool>{false, true, false, true}));
}

TEST(Nd2XMLTree, ReportsStructureAndDocumentProblems) {
  TND2XMLTree tree;
  EXPECT_THROW(
      try { tree.GoToRoot(); } catch (const ESciImageReaderError& error) {
        EXPECT_STREQ(error.what(), "XML is not loaded.");
        throw;
      },
      ESciImageReaderError);
  TMemoryStream garbage = TextStream("this is not xml at all");
  try {
    tree.Load(garbage, garbage.Size(), 0);
    ADD_FAILURE() << "loaded garbage";
  } catch (const ESciImageReaderError& error) {
    EXPECT_STREQ(error.what(), "Cannot find the root node of an XML object.");
  }
  TMemoryStream stream = TextStream(
      "<root><plain><x runtype=\"lx_uint32\" value=\"5\"/></plain><bare runtype=\"double\"/>"
      "<n runtype=\"lx_uint32\" value=\"12abc\"/></root>");
  tree.Load(stream, stream.Size(), 0);
  const auto message = [&](const std::function<void()>& action) {
    try {
      action();
    } catch (const ESciImageReaderError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { tree.ReadString("plain"); }), "\"plain\" is not a data node.");
  EXPECT_EQ(message([&] { tree.ReadFloat("bare"); }), "Cannot find value of \"bare\".");
  EXPECT_EQ(message([&] { tree.ReadUInt64("n"); }), "\"n\" is not a integer.");
}

}  // namespace
}  // namespace orbelin
