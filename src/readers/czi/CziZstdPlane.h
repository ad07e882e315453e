#pragma once
// Decoding of a zstd subblock from the file straight into a 16-bit plane.
#include <cstddef>
#include <cstdint>

#include "foundation/Stream.h"
#include "foundation/Types.h"

namespace orbelin {

// Decodes the zstd frame(s) stored at [offset, offset + size) of `stream` into
// `samples` 16-bit samples and swaps them into `plane`; with `hiLo` the stream
// holds all low bytes first, then all high bytes. Large frames are read by a
// helper thread ahead of the decoder, and the same helper interleaves the
// halves behind it, so a plane costs little more than its decompression.
// Raises ESciImageReaderError when the bytes cannot be read, do not decode or
// decode to another size; `plane` then keeps what it held.
void DecodeZstdPlane(const TStream& stream, int64_t offset, size_t size, bool hiLo, size_t samples,
                     TWordDynArray& plane);

// Compressed frames from this size on are decoded with the helper thread;
// smaller ones decode faster than a thread starts.
inline constexpr size_t kZstdHelperFromBytes = size_t{1} << 20;

}  // namespace orbelin
