#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {

TByteDynArray DecodeCziJpegXr(const uint8_t* /*data*/, size_t /*size*/, const TCziPlaneShape& /*shape*/) {
  RaiseError<ESciImageReaderError>("JPEG XR subblocks are not supported.");
}

}  // namespace orbelin
