#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "fixtures/TiffWriter.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

using test::RunCli;
using test::TRun;

TEST(CliInfo, DescribesReadableFilesAndReportsTheOthers) {
  test::TempDir dir;
  const std::string stack = dir.File("stack.tif");
  const std::string junk = dir.File("junk.tif");
  // 2.54 pixels per centimetre: 3937.01 µm per pixel.
  test::WriteFile(stack, fixtures::WriteTiff({.extraTags = {fixtures::RationalTag(282, 254, 100),
                                                            fixtures::ShortTag(296, {3})}},
                                             3, 2, {{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}}));
  test::WriteFile(junk, std::vector<uint8_t>(64, 'x'));

  const TRun good = RunCli(dir, "info '" + stack + "'");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.out, stack + "\n  width: 3\n  height: 2\n  planes: 2\n  pixel size: 3937.01 \xC2\xB5m/px\n");
  EXPECT_EQ(good.err, "");

  const std::string missing = dir.File("missing.tif");
  const TRun mixed = RunCli(dir, "info '" + junk + "' '" + stack + "' '" + missing + "'");
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.out, good.out);
  EXPECT_EQ(mixed.err, junk + ": not a supported image\n" + missing + ": not a supported image\n");
}

}  // namespace
}  // namespace orbelin
