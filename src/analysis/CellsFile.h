#pragma once
// The cells file of the batch mode: which image the cells were drawn on and,
// per cell, its frame, outline and optionally a hand-placed MTOC marker.
//   {"image": "...", "cells": [{"frame": 0, "outline": [[x, y], ...], "mtoc": [x, y]}]}
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Types.h"

namespace orbelin {

struct TCellsFileCell {
  int32_t Frame = 0;
  TPoints Outline;
  std::optional<TPoint> Mtoc;
};

struct TCellsFile {
  std::string Image;  // may be empty
  std::vector<TCellsFileCell> Cells;
};

// Raises EConvertError naming fileName and the place in the text (line and
// column for a syntax error, the JSON pointer of the offending value otherwise).
TCellsFile ParseCellsFile(const std::string& text, const std::string& fileName);
// Raises EInOutError naming the file when it cannot be read, else as ParseCellsFile.
TCellsFile ReadCellsFile(const std::string& fileName);

std::string CellsFileText(const TCellsFile& cells);
void WriteCellsFile(const std::string& fileName, const TCellsFile& cells);

}  // namespace orbelin
