#pragma once
// The chain of image file directories of a classic TIFF file and the loading
// of their entries' values.
#include <cstdint>
#include <vector>

#include "readers/tiff/TiffEntry.h"

namespace orbelin {

class TStream;

// Tags this reader looks at.
enum : uint16_t {
  tagImageWidth = 256,
  tagImageLength = 257,
  tagBitsPerSample = 258,
  tagCompression = 259,
  tagPhotometricInterpretation = 262,
  tagStripOffsets = 273,
  tagStripByteCounts = 279,
  tagXResolution = 282,
  tagYResolution = 283,
  tagResolutionUnit = 296,
  tagTileWidth = 322,
  tagTileLength = 323,
  tagTileOffsets = 324,
  tagTileByteCounts = 325,
  tagSampleFormat = 339,
  tagUIC2 = 33629,
  tagLsmInformation = 34412,
};

struct tIFDirectory {
  uint32_t offset = 0;
  tIFDItems entries;
};

using tIFDirectories = std::vector<tIFDirectory>;

struct TTiffFile {
  bool bigEndian = false;
  tIFDirectories directories;
};

// Reads the header and follows the directory chain until offset 0, an offset outside the file
// or a directory already visited. False when the header is not that of a classic TIFF.
// Raises when a directory's entries run past the end of the file.
bool ReadTiffDirectories(TStream& stream, TTiffFile& file);

// Loads the out-of-slot values of every entry of every directory in host byte order. Raises
// when values lie outside the file, so a forged count never allocates more than the file holds.
void LoadTiffValues(const TStream& stream, TTiffFile& file);

// Reads exactly count bytes at offset or raises EReadError.
void ReadExactAt(const TStream& stream, uint64_t offset, void* buffer, uint64_t count);

}  // namespace orbelin
