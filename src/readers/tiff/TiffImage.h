#pragma once
// Grey, uncompressed TIFF stacks and MetaMorph STK stacks, read one plane at a time.
#include "foundation/Types.h"

namespace orbelin {

class TStream;

// Describes the file and, for index >= 0, reads plane index as unsigned 16-bit samples.
// Width and height come from the first directory; planeCount is the number of directories, or
// the UIC2 count of an STK file; pixelSize is in micrometres per pixel and is left as it was
// for resolution units other than inch and centimetre. Returns false when the file is not one
// this reader takes (bad header, LSM, colour, compressed) or when the plane cannot be read;
// plane is then empty. Never raises; the stream position is unchanged.
bool ReadTiffPlane(TStream& stream, int index, TWordDynArray& plane, int& width, int& height, int& planeCount,
                   double& pixelSize);

}  // namespace orbelin
