#include <gtest/gtest.h>

#include "foundation/ArrayOfStrings.h"

namespace orbelin {
namespace {

using Parts = std::vector<std::string>;

TEST(ArrayOfStrings, SplitKeepsEveryPartAndQuotedSections) {
  struct Case {
    const char* text;
    bool quoteAware;
    Parts expected;
  };
  const Case cases[] = {
      {"a;b;", false, {"a", "b", ""}},
      {"", false, {""}},
      {";", false, {"", ""}},
      {"x;'a;b';y", true, {"x", "'a;b'", "y"}},
      {"x;'a;b';y", false, {"x", "'a", "b'", "y"}},
      {"\"a;'b\";c", true, {"\"a;'b\"", "c"}},
      {"a;'open;never closed", true, {"a", "'open;never closed"}},
      {"it's;fine", true, {"it's;fine"}},
  };
  for (const Case& c : cases) {
    TArrayOfStrings parts;
    EXPECT_EQ(parts.Split(c.text, ';', c.quoteAware), static_cast<int>(c.expected.size())) << c.text;
    EXPECT_EQ(parts.Values(), c.expected) << c.text;
  }
}

TEST(ArrayOfStrings, AppendSplitAddsToWhatIsThere) {
  TArrayOfStrings parts{"keep"};
  EXPECT_EQ(parts.AppendSplit("a,b", ','), 3);
  std::string many;
  for (int i = 0; i < 200; ++i) many += std::to_string(i) + ",";
  EXPECT_EQ(parts.AppendSplit(many, ','), 3 + 201);
  EXPECT_EQ(parts[0], "keep");
  EXPECT_EQ(parts[3 + 150], "150");
  EXPECT_EQ(parts[3 + 200], "");
}

TEST(ArrayOfStrings, TrimAndRemoveEmpty) {
  TArrayOfStrings parts{" a ", "\t\r\n", "", "b\x01", "\xC2\xA0x"};
  parts.TrimAll();
  EXPECT_EQ(parts.Values(), (Parts{"a", "", "", "b", "\xC2\xA0x"}));
  EXPECT_EQ(parts.RemoveEmpty(), 2);
  EXPECT_EQ(parts.Values(), (Parts{"a", "b", "\xC2\xA0x"}));
}

TEST(ArrayOfStrings, JoinRangeRules) {
  const TArrayOfStrings three{"x", "y", "z"};
  struct Case {
    int from;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {5, 2, ""}, {-3, 2, "x, y"}, {0, 0, ""}, {1, -1, ""}, {1, 1, "y"},
      {1, 10, "y, z"}, {0, 3, "x, y, z"}, {3, 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(three.Join(", ", c.from, c.n), c.expected) << c.from << "," << c.n;
  }
  EXPECT_EQ(three.JoinAll(';'), "x;y;z");
  EXPECT_EQ(TArrayOfStrings{}.JoinAll(";"), "");
  EXPECT_EQ((TArrayOfStrings{"", ""}.JoinAll('|')), "|");
}

TEST(ArrayOfStrings, LookupAndCopy) {
  TArrayOfStrings names{"Red", "green", "RED", "blue"};
  EXPECT_EQ(names.IndexOf("RED"), 2);
  EXPECT_EQ(names.IndexOf("red"), -1);
  EXPECT_EQ(names.IndexOfText("red"), 0);
  EXPECT_EQ(names.IndexOfText("red", 1), 2);
  EXPECT_EQ(names.IndexOfText("RED", -1), -1);
  EXPECT_EQ(names.IndexOf("blue", -1), 3);
  EXPECT_EQ(names.IndexOf("blue", 4), -1);
  EXPECT_EQ(names.TotalLength(), 15u);

  names.FromArray({"a", "", "b"}, true);
  EXPECT_EQ(names.Values(), (Parts{"a", "b"}));
  names.FromArray({"a", "", "b"});
  EXPECT_EQ(names.Count(), 3);

  Parts list{"old"};
  names.AppendToStrings(list);
  EXPECT_EQ(list, (Parts{"old", "a", "", "b"}));
  names.ToStrings(list);
  EXPECT_EQ(list, (Parts{"a", "", "b"}));
}

}  // namespace
}  // namespace orbelin
