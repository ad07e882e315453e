#pragma once
// Layouts of interleaved channel groups: how many components a stored pixel
// has and the name, colour and nominal wavelength of each.
#include <cstdint>

namespace orbelin {

enum TColorLayout : uint8_t {
  clNone = 0,
  clSingle = 1,
  clRGB = 2,
  clBGR = 3,
  clRGBA = 4,
  clABGR = 5,
  clBGRA = 6,
  clARGB = 7,
  clCMYK = 8,
  clYCbCr = 9,
  clLab = 10,
  clHSV = 11,
  clHSL = 12,
};

constexpr int kColorLayoutCount = 13;

struct TColorLayoutComponent {
  const char* Name;    // 8-bit text
  uint32_t Color;      // 0x00BBGGRR, alpha as 0xFF000000
  float Wavelength;    // nanometres
};

struct TColorLayoutInfo {
  int ComponentCount;
  TColorLayoutComponent Components[4];
};

// The table entry of a layout code; codes outside the table give clNone's entry.
const TColorLayoutInfo& ColorLayoutInfo(int layout);
int ColorLayoutComponentCount(int layout);

}  // namespace orbelin
