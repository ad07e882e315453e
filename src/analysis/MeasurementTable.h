#pragma once
// The measurements of all cells of all frames as lines of text: one line per
// measurement with a column per cell (the results window, the plain copy), or
// a header line and one line per cell (the copy with Ctrl held down).
#include <cstdint>
#include <functional>
#include <string>

#include "document/ChannelInfo.h"
#include "document/Frames.h"
#include "foundation/ArrayOfStrings.h"

namespace orbelin {

// Brings one frame's analysis up to date before its cells are listed.
using TAnalyseFrameFunction = std::function<void(int32_t frame)>;

// The decimal separator of the current C locale.
char SystemDecimalSeparator();

// A real value with the given decimals, at least decimals + 2 characters wide,
// right-aligned: 7.4 with 0 decimals is " 7", 3.14159 with 2 is "3.14".
std::string FormatMeasurement(double value, int decimals, char decimalSeparator);

// Calls analyseFrame for every frame in order and lists every cell of
// frames (each must be a TCellData). Returns the number of cells listed, 0
// when there is no cell, -1 when there are cells but no channel has a kind
// (only the five cell columns exist).
int BuildMeasurementTable(TFrames& frames, const TChannelInfos& channels, const TAnalyseFrameFunction& analyseFrame,
                          TArrayOfStrings& lines, bool byMeasurement,
                          char decimalSeparator = SystemDecimalSeparator());

inline constexpr const char* kNoCellsMessage = "Hold Control and draw cells for analysis.";
inline constexpr const char* kNoKindMessage = "No analysis method is specified.";

// The clipboard text: the image's file name, then the lines, all joined by CR LF
// (none after the last line).
std::string MeasurementClipboardText(const std::string& fileName, const TArrayOfStrings& lines);

struct TCopiedMeasurements {
  int CellCount = 0;       // as BuildMeasurementTable returns it
  std::string Text;        // for the clipboard; empty unless CellCount > 0
  std::string Message;     // what the window shows afterwards
};

// The copy action: byMeasurement is true unless Ctrl is held down. The window
// puts Text on the clipboard when CellCount > 0 and shows Message in any case.
TCopiedMeasurements CopyMeasurements(TFrames& frames, const TChannelInfos& channels,
                                     const TAnalyseFrameFunction& analyseFrame, bool byMeasurement,
                                     char decimalSeparator = SystemDecimalSeparator());

}  // namespace orbelin
