#pragma once
// A synthetic fixed-cell image with known answers: nuclei (blue), one
// centrosome spot per cell (red) and a Golgi ribbon beside each nucleus
// (green) over a background gradient, blurred and with shot noise. The same
// seed always gives the same image. Used by the command line, the tests, the
// benchmarks and the application's first run.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Types.h"
#include "numeric/Geometry.h"

namespace orbelin {

inline constexpr int32_t kLargestDemoSize = 8192;

struct TDemoOptions {
  uint64_t Seed = 1;
  int32_t Size = 1024;  // width and height in pixels
  int32_t CellCount = 12;
  double PixelSize = 0.15e-6;  // metres per pixel
};

// What was drawn for one cell, in image pixels (pixel centres at integer coordinates).
struct TDemoCell {
  TPoints Outline;
  TPointD NucleusCentre;
  double NucleusArea = 0;  // square pixels
  TPointD Centrosome;
  TPointD GolgiCentre;  // intensity-weighted centre of the ribbon
};

struct TDemoImage {
  int32_t Width = 0;
  int32_t Height = 0;
  double PixelSize = 0;
  TWordDynArray Nuclei;
  TWordDynArray Centrosomes;
  TWordDynArray Golgi;
  std::vector<TDemoCell> Cells;
};

// Raises EArgumentOutOfRange when the image is too small for the cells asked for.
TDemoImage MakeDemoImage(const TDemoOptions& options);

// The file names WriteDemoImage uses inside its folder.
inline constexpr const char* kDemoNucleiFile = "cell-B.tif";
inline constexpr const char* kDemoCentrosomeFile = "cell-R.tif";
inline constexpr const char* kDemoGolgiFile = "cell-G.tif";
inline constexpr const char* kDemoCellsFile = "cells.json";
inline constexpr const char* kDemoTruthFile = "truth.tsv";

// Writes the three channel files, the cells file and the truth table into
// folder (created when missing). Raises EInOutError when a file cannot be written.
void WriteDemoImage(const TDemoImage& image, const std::string& folder);

// The truth table: a header line, then one tab-separated line per cell.
std::string DemoTruthText(const TDemoImage& image);

}  // namespace orbelin
