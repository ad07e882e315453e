#pragma once
// Writes 16-bit grey TIFF files: uncompressed, little-endian, one strip per
// page, with the pixel size stored as a resolution in pixels per centimetre.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Types.h"

namespace orbelin {

// pages hold width × height samples each, row-major. pixelSize is in metres;
// 0 or less writes no resolution. Raises EInOutError when the file cannot be
// written and EArgumentOutOfRange for a page of the wrong size or a file
// beyond the 4 GiB a classic TIFF can address.
void WriteGrayTiff16(const std::string& fileName, int32_t width, int32_t height,
                     const std::vector<TWordDynArray>& pages, double pixelSize);

// The same file as bytes.
std::vector<uint8_t> GrayTiff16Bytes(int32_t width, int32_t height, const std::vector<TWordDynArray>& pages,
                                     double pixelSize);

}  // namespace orbelin
