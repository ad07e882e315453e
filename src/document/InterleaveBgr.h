#pragma once
// Three component rows into one row of blue, green, red pixels.
#include <cstddef>
#include <cstdint>

namespace orbelin {

// out[3x] = blue[x], out[3x + 1] = green[x], out[3x + 2] = red[x]. Uses the
// byte-shuffle path from the SSSE3 level on, the plain loop below it.
void InterleaveBgr(const uint8_t* blue, const uint8_t* green, const uint8_t* red, size_t width, uint8_t* out);

// The plain loop, the reference of the vector path.
void InterleaveBgrPlain(const uint8_t* blue, const uint8_t* green, const uint8_t* red, size_t width, uint8_t* out);

}  // namespace orbelin
