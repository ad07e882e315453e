#include <gtest/gtest.h>

#include "foundation/FileBaseName.h"
#include "foundation/NaturalCompare.h"

namespace orbelin {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(NaturalCompare, OrdersDigitRunsByValue) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"a2", "a10", -1},       {"a01", "a1", 0},      {"a", "a1", -1},
      {"x0b", "x00c", -1},     {"img10", "img9", 1},  {"B", "a", -1},
      {"a100", "a20", 1},      {"", "", 0},           {"", "a", -1},
      {"a1b2", "a1b10", -1},   {"a1x", "a12", -1},    {"ab", "a1", 1},
      {"file007.tif", "file7.tif", 0},                {"a000x", "a0y", -1},
      {"t2_c10", "t2_c9", 1},  {"9", "10", -1},       {"\xC3\xA9", "z", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(NaturalCompare(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(Sign(NaturalCompare(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
  }
}

TEST(NaturalCompare, LongerNumberIsLargerByItsLength) {
  EXPECT_EQ(NaturalCompare("a100", "a2"), 2);
  EXPECT_EQ(NaturalCompare("a0002", "a100"), -2);
}

TEST(FileBaseName, DropsFolderAndLastExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\data\\cell.tar.gz", "cell.tar"},
      {"C:\\dir.x\\cell", "cell"},
      {"\\\\server\\share\\.hidden", ""},
      {"C:cell.tif", "cell"},
      {"plain", "plain"},
      {"", ""},
      {"/home/lab/dir.x/cell", "cell"},
      {"/home/lab/run 3.nd2", "run 3"},
      {"name.", "name"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(FileBaseName(path), expected) << path;
}

}  // namespace
}  // namespace orbelin
