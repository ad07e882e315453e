#pragma once
// A small GIF89a writer for tests: frames of palette indices with their
// delays, stored with literal-only LZW codes (a clear code before the code
// table would widen), which every decoder reads.
#include <array>
#include <cstdint>
#include <vector>

namespace orbelin::test {

struct TGifFrame {
  std::vector<uint8_t> Indices;  // width × height palette indices, row by row
  uint16_t DelayCs = 0;          // hundredths of a second
};

// palette: 256 entries of R, G, B.
std::vector<uint8_t> WriteGif(int width, int height, const std::array<std::array<uint8_t, 3>, 256>& palette,
                              const std::vector<TGifFrame>& frames);

}  // namespace orbelin::test
