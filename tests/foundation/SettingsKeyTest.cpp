#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "foundation/SettingsKey.h"

namespace orbelin {
namespace {

TEST(SettingsKey, ProcessCommandLineStartsWithTheProgramPath) {
  const TArrayOfStrings elements = ProcessCommandLine();
  ASSERT_GE(elements.Count(), 1);
  EXPECT_EQ(elements[0], std::filesystem::read_symlink("/proc/self/exe").string());
}

// A settings store holding a few values; the keys are full key paths.
class SettingsKeyStore : public ::testing::Test {
protected:
  void SetUp() override {
    SetVendorStore([this](const std::string& keyPath, const std::string& valueName)
                       -> std::optional<std::string> {
      const auto found = values_.find(keyPath + "|" + valueName);
      if (found == values_.end()) return std::nullopt;
      return found->second;
    });
  }
  void TearDown() override { SetVendorStore(nullptr); }

  std::map<std::string, std::string> values_ = {
      {"Software\\Halvane\\Variables|Data", "D:\\lab"},
      {"Software\\Halvane\\Variables|Empty", ""},
      {"Software\\Halvane\\foundation_tests|LastFolder", "/home/lab"},
      {"Software\\Halvane\\|Licence", "site"},
  };
};

TEST_F(SettingsKeyStore, ReadVendorStringSplitsAtTheLastBackslash) {
  EXPECT_EQ(ReadVendorString("foundation_tests\\LastFolder", "none"), "/home/lab");
  EXPECT_EQ(ReadVendorString("foundation_tests\\Missing", "none"), "none");
  EXPECT_EQ(ReadVendorString("Nowhere\\LastFolder", "none"), "none");
  EXPECT_EQ(ReadVendorString("Licence", "none"), "site");
  EXPECT_EQ(ReadVendorString("Variables\\Empty", "none"), "");
  SetVendorStore(nullptr);
  EXPECT_EQ(ReadVendorString("Licence", "none"), "none");
}

TEST_F(SettingsKeyStore, ExpandedParamStrReplacesReferencesFollowedByABackslash) {
  const char* argv[] = {
      "/usr/lib/orbelin/foundation_tests",
      "%Data%\\cells.nd2",
      "C:\\dir\\%Data%",
      "100%%\\x%%",
      "%Unknown%\\a",
      "%a\\b%\\c",
      "%%Data%\\x",
      "%Empty%%Data%\\y",
      "no refs",
  };
  SetCommandLine(static_cast<int>(std::size(argv)), argv);
  const std::pair<int, const char*> cases[] = {
      {1, "D:\\lab\\cells.nd2"},
      {2, "C:\\dir\\%Data%"},
      {3, "100%\\x%"},
      {4, "\\a"},
      {5, "%a\\b%\\c"},
      {6, "%Data%\\x"},
      {7, "D:\\lab\\y"},
      {8, "no refs"},
      {9, ""},
  };
  for (const auto& [index, expected] : cases) EXPECT_EQ(ExpandedParamStr(index), expected) << index;
  EXPECT_EQ(CommandLineParam(1), "%Data%\\cells.nd2");
  EXPECT_EQ(CommandLineParam(-1), "");
}

TEST_F(SettingsKeyStore, KeyPathsNameTheVendorAndProgram) {
  const char* argv[] = {"/usr/lib/orbelin/foundation_tests.bin"};
  SetCommandLine(1, argv);
  EXPECT_EQ(VendorName(), "Halvane");
  EXPECT_EQ(VendorKeyPath("Variables"), "Software\\Halvane\\Variables");
  EXPECT_EQ(ProgramName(), "foundation_tests");
  EXPECT_EQ(ProgramKeyPath(), "Software\\Halvane\\foundation_tests");
}

}  // namespace
}  // namespace orbelin
