#include <gtest/gtest.h>

#include "analysis/CellsFile.h"
#include "foundation/Exceptions.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

TEST(CellsFile, ReadsWhatItWrites) {
  TCellsFile cells;
  cells.Image = "folder/cell \"B\".tif";
  cells.Cells.push_back({0, {{1, 2}, {30, 2}, {30, 40}}, std::nullopt});
  cells.Cells.push_back({3, {{-5, 0}, {7, 0}, {7, 9}, {0, 9}}, TPoint{4, 5}});
  const TCellsFile back = ParseCellsFile(CellsFileText(cells), "cells.json");
  EXPECT_EQ(back.Image, cells.Image);
  ASSERT_EQ(back.Cells.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(back.Cells[i].Frame, cells.Cells[i].Frame);
    EXPECT_EQ(back.Cells[i].Outline, cells.Cells[i].Outline);
    EXPECT_EQ(back.Cells[i].Mtoc, cells.Cells[i].Mtoc);
  }
  EXPECT_TRUE(ParseCellsFile(CellsFileText({}), "x").Cells.empty());
}

TEST(CellsFile, OptionalPartsAndFractionalCoordinates) {
  const TCellsFile cells = ParseCellsFile(R"({"cells": [{"outline": [[1.4, 2.6], [5, 2], [5, 8]], "mtoc": null}]})", "c");
  EXPECT_TRUE(cells.Image.empty());
  ASSERT_EQ(cells.Cells.size(), 1u);
  EXPECT_EQ(cells.Cells[0].Frame, 0);
  EXPECT_EQ(cells.Cells[0].Outline, (TPoints{{1, 3}, {5, 2}, {5, 8}}));
  EXPECT_FALSE(cells.Cells[0].Mtoc.has_value());
}

TEST(CellsFile, ErrorsNameTheFileAndThePlace) {
  const struct {
    const char* text;
    const char* place;
  } cases[] = {
      {"{\"cells\": [\n  {\"outline\": [[1, 2]", "line 2, column 22"},
      {"[]", "at /"},
      {"{\"image\": \"a.tif\"}", "\"cells\" missing"},
      {"{\"cells\": {}}", "at /cells"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, 4]]}]}", "at /cells/0/outline"},
      {"{\"cells\": [{\"outline\": [[0, 0], [1, 0], [1, 1]]}, {}]}", "\"outline\" missing at /cells/1"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, \"4\"], [5, 6]]}]}", "at /cells/0/outline/1/1"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, 4, 5], [5, 6]]}]}", "at /cells/0/outline/1"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, 4], [5, 6]], \"frame\": -1}]}", "at /cells/0/frame"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, 4], [5, 6]], \"frame\": 1e20}]}", "at /cells/0/frame"},
      {"{\"cells\": [{\"outline\": [[1, 2], [3, 4], [5, 6]], \"mtoc\": [1]}]}", "at /cells/0/mtoc"},
  };
  for (const auto& c : cases) {
    try {
      ParseCellsFile(c.text, "dir/cells.json");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EConvertError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind("dir/cells.json: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.place), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
  test::TempDir dir;
  EXPECT_THROW(ReadCellsFile(dir.File("none.json")), EInOutError);
}

}  // namespace
}  // namespace orbelin
