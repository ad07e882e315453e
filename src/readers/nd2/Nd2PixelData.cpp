#include "readers/nd2/Nd2PixelData.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "foundation/Stream.h"
#include "readers/nd2/Nd2ChunkMap.h"

namespace orbelin {

namespace {

// Every image-data chunk starts with an 8-byte acquisition time stamp.
constexpr uint64_t kTimeStampBytes = 8;

// Input is fed to zlib in blocks of this size, so a frame never needs a
// second buffer as large as its compressed stream.
constexpr size_t kInflateBlock = size_t{1} << 20;

// Inflates the zlib stream of `length` bytes at `start` into out and counts the
// bytes produced in `done`. False for a damaged or truncated stream.
bool Inflate(TStream& stream, int64_t start, uint64_t length, uint8_t* out, size_t outSize, size_t& done) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  std::vector<uint8_t> block(static_cast<size_t>(std::min<uint64_t>(length, kInflateBlock)));
  uint64_t consumed = 0;
  bool ok = false;
  done = 0;
  zs.next_out = out;
  zs.avail_out = static_cast<uInt>(std::min<size_t>(outSize, UINT32_MAX));
  for (;;) {
    if (zs.avail_in == 0 && consumed < length) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(length - consumed, block.size()));
      if (stream.ReadAt(start + static_cast<int64_t>(consumed), block.data(), want) != want) break;
      consumed += want;
      zs.next_in = block.data();
      zs.avail_in = static_cast<uInt>(want);
    }
    const int result = inflate(&zs, Z_NO_FLUSH);
    done = static_cast<size_t>(zs.next_out - out);
    if (result == Z_STREAM_END || done == outSize) {
      ok = true;  // a frame is complete once its plane is full
      break;
    }
    if (zs.avail_out == 0) zs.avail_out = static_cast<uInt>(std::min<size_t>(outSize - done, UINT32_MAX));
    if (result == Z_BUF_ERROR && zs.avail_in == 0 && consumed == length) break;  // truncated stream
    if (result != Z_OK && result != Z_BUF_ERROR) break;
  }
  inflateEnd(&zs);
  return ok;
}

// Moves rows of `stride` bytes together to rows of `packed` bytes, in place.
void PackRows(uint8_t* data, int64_t rows, int64_t stride, int64_t packed) {
  for (int64_t r = 1; r < rows; ++r) std::memmove(data + r * packed, data + r * stride, static_cast<size_t>(packed));
}

}  // namespace

bool ReadNd2SequenceData(TStream& stream, const TNd2Header& header, int64_t sequence, std::vector<uint8_t>& data) {
  const int64_t packed = header.PackedRowBytes();
  const int64_t stride = header.RowStride();
  const int64_t rows = header.Height;
  if (header.CompressionMode == cmNoData) {
    data.assign(static_cast<size_t>(packed * rows), 0);
    return true;
  }
  if (sequence < 0 || sequence >= static_cast<int64_t>(header.ImageDataChunks.size())) return false;
  try {
    const TChunkEntry& entry = header.Map[static_cast<size_t>(header.ImageDataChunks[static_cast<size_t>(sequence)])];
    const TNd2ChunkHeader chunk = ReadNd2ChunkHeader(stream, entry.Position);
    if (chunk.DataLength < kTimeStampBytes) return false;
    const int64_t payloadStart = chunk.DataStart + static_cast<int64_t>(kTimeStampBytes);
    const uint64_t payloadLength = chunk.DataLength - kTimeStampBytes;
    // Read (or inflate) the stored rows with their stride, zero what the file
    // does not hold, then close the gaps between the rows.
    data.resize(static_cast<size_t>(stride * rows));
    size_t filled = 0;
    if (header.CompressionMode == cmUncompressed) {
      const size_t count = static_cast<size_t>(std::min<uint64_t>(payloadLength, data.size()));
      filled = stream.ReadAt(payloadStart, data.data(), count);
    } else {
      if (payloadLength == 0) return false;
      if (!Inflate(stream, payloadStart, payloadLength, data.data(), data.size(), filled)) return false;
    }
    std::memset(data.data() + filled, 0, data.size() - filled);
    if (stride != packed) {
      PackRows(data.data(), rows, stride, packed);
      data.resize(static_cast<size_t>(packed * rows));
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace orbelin
