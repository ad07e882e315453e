#include "analysis/MeasurementTable.h"

#include <clocale>
#include <cstdio>
#include <string_view>
#include <vector>

#include "analysis/CellData.h"
#include "foundation/Exceptions.h"
#include "numeric/Geometry.h"

namespace orbelin {

namespace {

// Fills the lines column by column in either layout; cols counts the columns
// of the first cell, which fixes the table's shape.
class TTableAssembler {
public:
  TTableAssembler(TArrayOfStrings& lines, bool byMeasurement) : lines_(lines), byMeasurement_(byMeasurement) {
    lines_.Clear();
  }

  void StartCell() {
    ++cells_;
    if (byMeasurement_)
      line_ = 0;
    else
      lines_.SetCount(cells_ + 1);
  }

  void AddColumn(const char* name, const std::string& text) {
    if (byMeasurement_) {
      if (cells_ == 1) {
        ++columns_;
        lines_.SetCount(columns_);
        lines_[columns_ - 1] = name;
      }
      // A later cell never has more columns than the first: the groups depend only on the channels.
      if (line_ < lines_.Count()) lines_[line_] += "\t" + text;
      ++line_;
    } else {
      if (cells_ == 1) {
        ++columns_;
        std::string& header = lines_[0];
        header += header.empty() ? std::string(name) : "\t" + std::string(name);
      }
      std::string& row = lines_[cells_];
      row += row.empty() ? text : "\t" + text;
    }
  }

  int Cells() const { return cells_; }
  int Columns() const { return columns_; }

private:
  TArrayOfStrings& lines_;
  bool byMeasurement_;
  int cells_ = 0;
  int columns_ = 0;
  int line_ = 0;
};

// Per-channel values; a channel beyond the arrays (never analysed) reads as 0.
template <class T>
T At(const std::vector<T>& values, int32_t channel) {
  return channel >= 0 && static_cast<size_t>(channel) < values.size() ? values[static_cast<size_t>(channel)] : T{};
}

class TCellColumns {
public:
  TCellColumns(TTableAssembler& table, char decimalSeparator) : table_(table), separator_(decimalSeparator) {}

  void Integer(const char* name, uint64_t value) { table_.AddColumn(name, std::to_string(value)); }
  void Integer(const char* name, int64_t value) { table_.AddColumn(name, std::to_string(value)); }
  void Real0(const char* name, double value) { table_.AddColumn(name, FormatMeasurement(value, 0, separator_)); }
  void Real2(const char* name, double value) { table_.AddColumn(name, FormatMeasurement(value, 2, separator_)); }

  void AddCell(int32_t frame, int32_t index, const TCellData& cell, const TAlgorithmChannels& kinds) {
    const int32_t n = kinds[daNucleus];
    const int32_t m = kinds[daCentrosome];
    const int32_t g = kinds[daGolgi];
    const int32_t c = kinds[daCilium];
    const int32_t v = kinds[daVesicles];
    const bool withNucleus = n >= 0;

    const TPointD centre = PolygonCentroid(cell.OutlinePoints());
    Integer("Image", static_cast<int64_t>(frame) + 1);
    Integer("Cell#", static_cast<int64_t>(index) + 1);
    Real0("Cell center-X", centre.x);
    Real0("Cell center-Y", centre.y);
    Real0("Cell size", PolygonArea(cell.OutlinePoints()));

    if (withNucleus) {
      Real0("Nucleus center-X", At(cell.SignalCentroid, n).x);
      Real0("Nucleus center-Y", At(cell.SignalCentroid, n).y);
      Integer("Nuclear size", uint64_t{At(cell.ObjectSize, n)});
      Integer("Nuclear total signal", At(cell.TotalSignal, n));
      Real2("Nucleus to boundary", At(cell.SignalBoundaryDistance, n));
      Real2("Nucleus to cell center", At(cell.SignalCenterDistance, n));
    }

    if (m >= 0) {
      Integer("MTOC center-X", int64_t{cell.MtocPosition.x});
      Integer("MTOC center-Y", int64_t{cell.MtocPosition.y});
      Integer("Manual correction", uint64_t{cell.MtocPosition == cell.MtocDetected ? 0u : 1u});
      Integer("MTOC size", uint64_t{At(cell.ObjectSize, m)});
      Integer("MTOC total signal", At(cell.TotalSignal, m));
      Real2("MTOC to boundary", At(cell.SignalBoundaryDistance, m));
      Real2("MTOC to cell center", At(cell.SignalCenterDistance, m));
      if (withNucleus) NucleusRelations(cell, m, "MTOC size on nucleus", "MTOC signal on nucleus",
                                        "MTOC to nucleus", "MTOC to nuclear center");
    }

    if (c >= 0) {
      Real0("Cilium center-X", At(cell.SignalCentroid, c).x);
      Real0("Cilium center-Y", At(cell.SignalCentroid, c).y);
      Integer("Cilium size", uint64_t{At(cell.ObjectSize, c)});
      Real2("Cilium length", At(cell.CiliumLength, c));
      Integer("Cilium total signal", At(cell.TotalSignal, c));
      Real2("Cilium to boundary", At(cell.SignalBoundaryDistance, c));
      Real2("Cilium to cell center", At(cell.SignalCenterDistance, c));
      if (withNucleus) NucleusRelations(cell, c, "Cilium size on nucleus", "Cilium signal on nucleus",
                                        "Cilium to nucleus", "Cilium to nuclear center");
    }

    if (g >= 0) {
      Real0("Golgi center-X", At(cell.SignalCentroid, g).x);
      Real0("Golgi center-Y", At(cell.SignalCentroid, g).y);
      Integer("Golgi count", uint64_t{At(cell.ObjectCount, g)});
      Integer("Golgi size", uint64_t{At(cell.ObjectSize, g)});
      Integer("Golgi total signal", At(cell.TotalSignal, g));
      Real2("Golgi to boundary", At(cell.SignalBoundaryDistance, g));
      Real2("Golgi to cell center", At(cell.SignalCenterDistance, g));
      if (withNucleus) {
        NucleusRelations(cell, g, "Golgi size on nucleus", "Golgi signal on nucleus", "Golgi to nucleus",
                         "Golgi to nuclear center");
        Real2("Golgi-nuclear coverage angle", At(cell.CoverageAngle, g));
      }
    }

    if (v >= 0) {
      Integer("Vesicle count", uint64_t{At(cell.ObjectCount, v)});
      Integer("Vesicle size", uint64_t{At(cell.ObjectSize, v)});
      Integer("Vesicle total signal", At(cell.TotalSignal, v));
      Real0("Vesicle center-X", At(cell.SignalCentroid, v).x);
      Real0("Vesicle center-Y", At(cell.SignalCentroid, v).y);
      Real2("Vesicle to boundary", At(cell.SignalBoundaryDistance, v));
      Real2("Vesicle to cell center", At(cell.SignalCenterDistance, v));
      if (withNucleus) {
        NucleusRelations(cell, v, "Vesicle size on nucleus", "Vesicle signal on nucleus", "Vesicle to nucleus",
                         "Vesicle to nuclear center");
        Real2("Vesicle-nuclear coverage angle", At(cell.CoverageAngle, v));
      }
    }
  }

private:
  void NucleusRelations(const TCellData& cell, int32_t channel, const char* sizeName, const char* signalName,
                        const char* distanceName, const char* centreName) {
    Integer(sizeName, uint64_t{At(cell.SizeOnNucleus, channel)});
    Integer(signalName, uint64_t{At(cell.SignalOnNucleus, channel)});
    Real2(distanceName, At(cell.SignalNucleusDistance, channel));
    Real2(centreName, At(cell.SignalNuclearCenterDistance, channel));
  }

  TTableAssembler& table_;
  char separator_;
};

}  // namespace

char SystemDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  return conventions && conventions->decimal_point && conventions->decimal_point[0] ? conventions->decimal_point[0]
                                                                                    : '.';
}

std::string FormatMeasurement(double value, int decimals, char decimalSeparator) {
  char text[400];  // room for the widest double in fixed notation
  const int length = std::snprintf(text, sizeof text, "%*.*f", decimals + 2, decimals, value);
  if (length < 0) return std::string();
  std::string result(text, static_cast<size_t>(length) < sizeof text ? static_cast<size_t>(length) : sizeof text - 1);
  // snprintf writes the C locale's separator; put the asked one in its place.
  const char written = SystemDecimalSeparator();
  if (written != decimalSeparator)
    if (const size_t at = result.find(written); at != std::string::npos) result[at] = decimalSeparator;
  return result;
}

int BuildMeasurementTable(TFrames& frames, const TChannelInfos& channels, const TAnalyseFrameFunction& analyseFrame,
                          TArrayOfStrings& lines, bool byMeasurement, char decimalSeparator) {
  const TAlgorithmChannels kinds = channels.AlgorithmChannels();
  TTableAssembler table(lines, byMeasurement);
  TCellColumns columns(table, decimalSeparator);
  for (size_t f = 0; f < frames.size(); ++f) {
    const auto frame = static_cast<int32_t>(f);
    if (analyseFrame) analyseFrame(frame);
    const TCellDatas& cells = frames[f].Cells;
    for (size_t i = 0; i < cells.size(); ++i) {
      const auto* cell = dynamic_cast<const TCellData*>(cells[i].get());
      if (cell == nullptr) RaiseError<EArgumentOutOfRange>("A cell without measurements.");
      table.StartCell();
      columns.AddCell(frame, static_cast<int32_t>(i), *cell, kinds);
    }
  }
  if (table.Cells() == 0) return 0;
  if (table.Columns() <= 5) return -1;
  return table.Cells();
}

std::string MeasurementClipboardText(const std::string& fileName, const TArrayOfStrings& lines) {
  return fileName + "\r\n" + lines.JoinAll("\r\n");
}

TCopiedMeasurements CopyMeasurements(TFrames& frames, const TChannelInfos& channels,
                                     const TAnalyseFrameFunction& analyseFrame, bool byMeasurement,
                                     char decimalSeparator) {
  TCopiedMeasurements result;
  TArrayOfStrings lines;
  result.CellCount = BuildMeasurementTable(frames, channels, analyseFrame, lines, byMeasurement, decimalSeparator);
  if (result.CellCount == 0) {
    result.Message = kNoCellsMessage;
  } else if (result.CellCount < 0) {
    result.Message = kNoKindMessage;
  } else {
    result.Text = MeasurementClipboardText(channels.Count() > 0 ? channels[0].FileName : std::string(), lines);
    result.Message =
        FormatText("Measurements of %d cells have been copied to the clipboard.", result.CellCount);
  }
  return result;
}

}  // namespace orbelin
