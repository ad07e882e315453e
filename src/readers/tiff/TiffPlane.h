#pragma once
// Reading the samples of one plane: a directory of a multi-page TIFF, or plane k
// of a MetaMorph stack laid out after the first plane.
#include <cstddef>
#include <cstdint>

#include "foundation/Types.h"
#include "readers/tiff/TiffDirectory.h"

namespace orbelin {

class TStream;

// Copies the strips or tiles of a directory into dest (size bytes, row-major,
// bytesPerSample bytes per pixel). Data beyond dest is dropped; a missing tail stays as it was.
// Raises when a strip or tile lies outside the file or the layout tags are unusable.
void ReadImageData(const TStream& stream, const tIFDItems& directory, uint32_t width, uint32_t height,
                   unsigned bytesPerSample, uint8_t* dest, size_t size);

// Plane of directory index; False when its layout is not a plain grey one.
bool ReadDirectoryPlane(const TStream& stream, const TTiffFile& file, size_t index, TWordDynArray& plane);

// Plane index of a MetaMorph stack; planes beyond the end of the file read as zeros.
bool ReadStackPlane(const TStream& stream, const TTiffFile& file, size_t index, TWordDynArray& plane);

// Photometric interpretation grey (0 or 1, or absent) and no compression.
bool IsPlainGrey(const tIFDItems& directory);

}  // namespace orbelin
