#include "readers/czi/CziDecode.h"

#include "foundation/Exceptions.h"
#include "readers/czi/CziFormat.h"

namespace orbelin {

TByteDynArray DecodeCziSubblock(int compression, const TByteDynArray& stored, const TCziPlaneShape& shape) {
  const int64_t expected = shape.ExpectedBytes();
  if (expected <= 0 || expected > kCziMaxSubblockBytes)
    RaiseErrorFmt<ESciImageReaderError>("Subblock of %lld bytes is out of range.", static_cast<long long>(expected));
  // Picture codecs are handed a buffer of the full plane up front; a stream
  // thousands of times smaller than its plane is a forged one, refused before
  // that buffer exists.
  constexpr int64_t kMaxPictureRatio = 1 << 14;
  if ((compression == czcJpeg || compression == czcJpegXr) &&
      expected > static_cast<int64_t>(stored.size()) * kMaxPictureRatio + (1 << 20))
    RaiseErrorFmt<ESciImageReaderError>("Compressed subblock of %zu bytes cannot hold a plane of %lld bytes.",
                                        stored.size(), static_cast<long long>(expected));
  TByteDynArray decoded;
  switch (compression) {
    case czcNone:
      decoded = stored;
      break;
    case czcJpeg:
      decoded = DecodeCziJpeg(stored.data(), stored.size(), shape);
      break;
    case czcLzw:
      decoded = DecodeCziLzw(stored.data(), stored.size(), expected);
      break;
    case czcJpegXr:
      decoded = DecodeCziJpegXr(stored.data(), stored.size(), shape);
      break;
    case czcZstd:
      decoded = DecodeZstdFrame(stored.data(), stored.size(), expected);
      break;
    case czcZstdWithHeader:
      decoded = DecodeZstdWithHeader(stored.data(), stored.size(), shape);
      break;
    default:
      RaiseErrorFmt<ESciImageReaderError>("Unsupported subblock compression %d.", compression);
  }
  if (static_cast<int64_t>(decoded.size()) != expected)
    RaiseErrorFmt<ESciImageReaderError>("Decoded subblock holds %lld bytes instead of %lld.",
                                        static_cast<long long>(decoded.size()), static_cast<long long>(expected));
  return decoded;
}

}  // namespace orbelin
