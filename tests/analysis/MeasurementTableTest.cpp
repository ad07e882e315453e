#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/CellData.h"
#include "analysis/MeasurementTable.h"
#include "analysis/PlainCellShapes.h"

namespace orbelin {
namespace {

// Channels named after their index, each with the given kind.
TChannelInfos MakeChannels(const std::vector<TDetectionAlgorithm>& kinds) {
  TChannelInfos channels;
  for (size_t i = 0; i < kinds.size(); ++i) {
    TChannelInfo info;
    info.FileName = "/data/cell-" + std::to_string(i) + ".tif";
    info.Name = std::to_string(i);
    info.Index = static_cast<int32_t>(i);
    info.Algorithm = kinds[i];
    channels.Add(info);
  }
  return channels;
}

// A triangle whose centroid is (22/3, 3) and whose area is 54, moved by dx.
TCellData& AddCell(TFrame& frame, int32_t channelCount, int32_t dx = 0) {
  auto cell = std::make_unique<TCellData>(
      std::make_unique<TPlainCellShapes>(TPoints{{0 + dx, 0}, {12 + dx, 0}, {10 + dx, 9}}));
  cell->ResizeArrays(channelCount);
  TCellData& result = *cell;
  frame.AddCell(std::move(cell));
  return result;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

const std::string* FindLine(const TArrayOfStrings& lines, const std::string& name) {
  for (const auto& line : lines.Values())
    if (line.rfind(name + "\t", 0) == 0) return &line;
  return nullptr;
}

TEST(MeasurementFormat, RealValuesKeepTheirWidthAndSeparator) {
  const struct {
    double value;
    int decimals;
    char separator;
    const char* text;
  } cases[] = {
      {7.4, 0, '.', " 7"},       {3.14159, 2, '.', "3.14"},   {12.5, 0, '.', "12"},  // half to even
      {13.5, 0, '.', "14"},      {-1.5, 0, '.', "-2"},        {0, 2, '.', "0.00"},
      {1234.567, 2, ',', "1234,57"}, {3037000499.97605, 2, '.', "3037000499.98"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatMeasurement(c.value, c.decimals, c.separator), c.text) << c.value << " with " << c.decimals;
}

TEST(MeasurementTable, MeasurementRowsListEveryCellOfEveryFrameInOrder) {
  const TChannelInfos channels = MakeChannels({daNucleus, daCentrosome});
  TFrames frames(2);
  TCellData& first = AddCell(frames[0], 2);
  first.SignalCentroid[0] = {7.4f, 20.6f};
  first.ObjectSize[0] = 976;
  first.TotalSignal[0] = uint64_t{1} << 40;  // 64-bit totals are written in full
  first.SignalBoundaryDistance[0] = 3.14159;
  first.MtocDetected = first.MtocPosition = {31, 32};
  first.SignalNucleusDistance[1] = 3037000499.97605;  // no nucleus found in the cell
  TCellData& second = AddCell(frames[0], 2, 100);
  second.MtocDetected = {5, 6};
  second.MtocPosition = {7, 8};  // dragged by the user
  second.SignalOnNucleus[1] = 4294967295u;
  AddCell(frames[1], 2);

  std::vector<int32_t> analysed;
  TArrayOfStrings lines;
  const int n = BuildMeasurementTable(
      frames, channels, [&](int32_t f) { analysed.push_back(f); }, lines, true, '.');

  EXPECT_EQ(n, 3);
  EXPECT_EQ(analysed, (std::vector<int32_t>{0, 1}));
  ASSERT_EQ(lines.Count(), 22);  // 5 cell, 6 nucleus and 11 MTOC columns
  EXPECT_EQ(lines[0], "Image\t1\t1\t2");
  EXPECT_EQ(lines[1], "Cell#\t1\t2\t1");
  EXPECT_EQ(lines[2], "Cell center-X\t 7\t107\t 7");
  EXPECT_EQ(lines[3], "Cell center-Y\t 3\t 3\t 3");
  EXPECT_EQ(lines[4], "Cell size\t54\t54\t54");
  EXPECT_EQ(lines[5], "Nucleus center-X\t 7\t 0\t 0");
  EXPECT_EQ(lines[6], "Nucleus center-Y\t21\t 0\t 0");
  EXPECT_EQ(*FindLine(lines, "Nuclear size"), "Nuclear size\t976\t0\t0");
  EXPECT_EQ(*FindLine(lines, "Nuclear total signal"), "Nuclear total signal\t1099511627776\t0\t0");
  EXPECT_EQ(*FindLine(lines, "Nucleus to boundary"), "Nucleus to boundary\t3.14\t0.00\t0.00");
  EXPECT_EQ(*FindLine(lines, "MTOC center-X"), "MTOC center-X\t31\t7\t0");
  EXPECT_EQ(*FindLine(lines, "MTOC center-Y"), "MTOC center-Y\t32\t8\t0");
  EXPECT_EQ(*FindLine(lines, "Manual correction"), "Manual correction\t0\t1\t0");
  EXPECT_EQ(*FindLine(lines, "MTOC signal on nucleus"), "MTOC signal on nucleus\t0\t4294967295\t0");
  EXPECT_EQ(*FindLine(lines, "MTOC to nucleus"), "MTOC to nucleus\t3037000499.98\t0.00\t0.00");

  const TCopiedMeasurements copied = CopyMeasurements(frames, channels, {}, true, '.');
  EXPECT_EQ(copied.CellCount, 3);
  EXPECT_EQ(copied.Message, "Measurements of 3 cells have been copied to the clipboard.");
  EXPECT_EQ(copied.Text.rfind("/data/cell-0.tif\r\nImage\t1\t1\t2\r\nCell#\t1\t2\t1\r\n", 0), 0u);
  EXPECT_NE(copied.Text.substr(copied.Text.size() - 2), "\r\n");
  EXPECT_EQ(copied.Text.find('\n', copied.Text.find(lines[21])), std::string::npos);
}

TEST(MeasurementTable, CellRowsWithANucleusOnlyHaveElevenColumns) {
  const TChannelInfos channels = MakeChannels({daNone, daNucleus});
  TFrames frames(2);
  AddCell(frames[0], 2);
  AddCell(frames[1], 2);
  AddCell(frames[1], 2);
  TArrayOfStrings lines;
  EXPECT_EQ(BuildMeasurementTable(frames, channels, {}, lines, false, '.'), 3);
  ASSERT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines[0],
            "Image\tCell#\tCell center-X\tCell center-Y\tCell size\tNucleus center-X\tNucleus center-Y\t"
            "Nuclear size\tNuclear total signal\tNucleus to boundary\tNucleus to cell center");
  EXPECT_EQ(lines[1], "1\t1\t 7\t 3\t54\t 0\t 0\t0\t0\t0.00\t0.00");
  EXPECT_EQ(Fields(lines[3])[0], "2");
  EXPECT_EQ(Fields(lines[3])[1], "2");
  for (int i = 1; i < lines.Count(); ++i) EXPECT_EQ(Fields(lines[i]).size(), 11u);
}

TEST(MeasurementTable, GroupsFollowTheirChannelsInTheFixedOrder) {
  // Channel order differs from the group order on purpose.
  TFrames frames(1);
  AddCell(frames[0], 5);
  TArrayOfStrings lines;
  const TChannelInfos all = MakeChannels({daVesicles, daGolgi, daCilium, daCentrosome, daNucleus});
  EXPECT_EQ(BuildMeasurementTable(frames, all, {}, lines, false, '.'), 1);
  const std::vector<std::string> header = Fields(lines[0]);
  ASSERT_EQ(header.size(), 57u);
  EXPECT_EQ(header[5], "Nucleus center-X");
  EXPECT_EQ(header[11], "MTOC center-X");
  EXPECT_EQ(header[21], "MTOC to nuclear center");
  EXPECT_EQ(header[22], "Cilium center-X");
  EXPECT_EQ(header[25], "Cilium length");
  EXPECT_EQ(header[33], "Golgi center-X");
  EXPECT_EQ(header[44], "Golgi-nuclear coverage angle");
  EXPECT_EQ(header[45], "Vesicle count");
  EXPECT_EQ(header[56], "Vesicle-nuclear coverage angle");
  EXPECT_EQ(Fields(lines[1]).size(), 57u);

  // Without a nucleus the nucleus-relative columns go too.
  const TChannelInfos noNucleus = MakeChannels({daVesicles, daGolgi, daCilium, daCentrosome, daNone});
  EXPECT_EQ(BuildMeasurementTable(frames, noNucleus, {}, lines, true, '.'), 1);
  ASSERT_EQ(lines.Count(), 33);
  EXPECT_EQ(FindLine(lines, "MTOC to nucleus"), nullptr);
  EXPECT_EQ(FindLine(lines, "Golgi-nuclear coverage angle"), nullptr);
  EXPECT_NE(FindLine(lines, "Vesicle to cell center"), nullptr);
}

TEST(MeasurementTable, NoCellsOrNoKindGiveTheirMessagesAndNoText) {
  TFrames frames(2);
  for (bool byMeasurement : {true, false}) {
    TFrames empty(2);
    const TCopiedMeasurements none = CopyMeasurements(empty, MakeChannels({daNucleus}), {}, byMeasurement, '.');
    EXPECT_EQ(none.CellCount, 0);
    EXPECT_EQ(none.Message, "Hold Control and draw cells for analysis.");
    EXPECT_TRUE(none.Text.empty());
  }
  AddCell(frames[1], 2);
  for (bool byMeasurement : {true, false}) {
    const TCopiedMeasurements noKind = CopyMeasurements(frames, MakeChannels({daNone, daNone}), {}, byMeasurement, '.');
    EXPECT_EQ(noKind.CellCount, -1);
    EXPECT_EQ(noKind.Message, "No analysis method is specified.");
    EXPECT_TRUE(noKind.Text.empty());
  }
}

}  // namespace
}  // namespace orbelin
