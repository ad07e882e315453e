#include <gtest/gtest.h>

#include "foundation/StringHelpers.h"

namespace orbelin {
namespace {

TEST(StringHelpers, PositionsAreZeroBasedAndMinusOneWhenAbsent) {
  EXPECT_EQ(PosChar("a.b.c", '.'), 1);
  EXPECT_EQ(PosChar("abc", '.'), -1);
  EXPECT_EQ(PosCharFrom("a.b.c", '.', 2), 3);
  EXPECT_EQ(PosCharFrom("a.b.c", '.', 4), -1);
  EXPECT_EQ(PosCharFrom("a.b.c", '.', 9), -1);
  EXPECT_EQ(LastPosChar("a.b.c", '.'), 3);
  EXPECT_EQ(LastDelimiterIndex("C:\\a/b.c", "\\/"), 4);
  EXPECT_EQ(LastDelimiterIndex("abc", "\\/"), -1);
  EXPECT_TRUE(Contains("channel 2", "nel"));
  EXPECT_FALSE(Contains("channel 2", "Nel"));
}

TEST(StringHelpers, StartsWith) {
  EXPECT_TRUE(StartsWith("Series 1", "Series"));
  EXPECT_FALSE(StartsWith("Series 1", "series"));
  EXPECT_TRUE(StartsWith("Series 1", "sERIES", true));
  EXPECT_FALSE(StartsWith("Ser", "Series", true));
  EXPECT_TRUE(StartsWith("", ""));
}

TEST(StringHelpers, CopyInsertDeleteStayInsideTheString) {
  EXPECT_EQ(CopyFrom("abcdef", 2), "cdef");
  EXPECT_EQ(CopyFrom("abcdef", 6), "");
  EXPECT_EQ(CopyFrom("abcdef", 60), "");
  EXPECT_EQ(CopyRange("abcdef", 1, 3), "bcd");
  EXPECT_EQ(CopyRange("abcdef", 4, 30), "ef");
  EXPECT_EQ(CopyRange("abcdef", 1, -2), "");

  std::string s = "abef";
  InsertAt(s, 2, "cd");
  EXPECT_EQ(s, "abcdef");
  InsertAt(s, 99, "!");
  EXPECT_EQ(s, "abcdef!");
  DeleteAt(s, 1, 2);
  EXPECT_EQ(s, "adef!");
  DeleteAt(s, 3, 99);
  EXPECT_EQ(s, "ade");
  DeleteAt(s, 5, 1);
  EXPECT_EQ(s, "ade");
}

TEST(StringHelpers, TryParseIntTakesTheWholeText) {
  const std::pair<const char*, bool> cases[] = {
      {"42", true},   {"-7", true}, {"+7", true},  {"", false},        {"4 2", false},
      {" 42", false}, {"42x", false}, {"+-1", false}, {"2147483648", false}, {"-2147483648", true},
  };
  for (const auto& [text, ok] : cases) {
    int value = 123;
    EXPECT_EQ(TryParseInt(text, value), ok) << text;
    if (!ok) {
      EXPECT_EQ(value, 123) << text;
    }
  }
  int value = 0;
  ASSERT_TRUE(TryParseInt("-2147483648", value));
  EXPECT_EQ(value, -2147483648LL);
}

TEST(StringHelpers, TryParseFloatUsesTheLocaleSeparator) {
  double value = 0;
  EXPECT_TRUE(TryParseFloat("1.5", value));
  EXPECT_DOUBLE_EQ(value, 1.5);
  EXPECT_TRUE(TryParseFloat("-.25e2", value));
  EXPECT_DOUBLE_EQ(value, -25.0);
  EXPECT_TRUE(TryParseFloat("+3", value));
  EXPECT_DOUBLE_EQ(value, 3.0);
  for (const char* bad : {"", "1,5", "1.5.2", "inf", "nan", "0x10", "1e999", "-", "1.5 "}) {
    EXPECT_FALSE(TryParseFloat(bad, value)) << bad;
  }

  // A user whose locale writes a decimal comma.
  EXPECT_TRUE(TryParseFloat("2,5", value, ","));
  EXPECT_DOUBLE_EQ(value, 2.5);
  EXPECT_TRUE(TryParseFloat("-,5e1", value, ","));
  EXPECT_DOUBLE_EQ(value, -5.0);
  EXPECT_FALSE(TryParseFloat("2.5", value, ","));
  EXPECT_FALSE(TryParseFloat("1,5,0", value, ","));
}

TEST(StringHelpers, CompareTextFoldsOnlyAsciiLetters) {
  EXPECT_EQ(CompareText("Nucleus", "nUCLEUS"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_NE(CompareText("\xC3\xA9", "\xC3\x89"), 0);  // é and É are not folded
  EXPECT_TRUE(SameText("TIF", "tif"));
  EXPECT_FALSE(SameText("tif", "tiff"));
}

TEST(StringHelpers, MatchesAnyAndDigits) {
  EXPECT_TRUE(MatchesAny("nd2", {"tif", "nd2"}));
  EXPECT_FALSE(MatchesAny("ND2", {"tif", "nd2"}));
  EXPECT_TRUE(MatchesAny("b", std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(IsDigit('0'));
  EXPECT_TRUE(IsDigit('9'));
  EXPECT_FALSE(IsDigit('a'));
  EXPECT_FALSE(IsDigit('/'));
}

TEST(StringHelpers, AnsiFromBufferStopsAtZeroOrLength) {
  const char buffer[] = {'D', 'A', 'P', 'I', 0, 'x'};
  EXPECT_EQ(AnsiFromBuffer(buffer, 6), "DAPI");
  EXPECT_EQ(AnsiFromBuffer(buffer, 3), "DAP");
  EXPECT_EQ(AnsiFromBuffer(buffer, 0), "");
  EXPECT_EQ(AnsiFromBuffer(buffer, -5), "");
}

}  // namespace
}  // namespace orbelin
