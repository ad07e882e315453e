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

// Inflates a zlib stream into out and counts the bytes produced in `done`.
bool Inflate(const std::vector<uint8_t>& in, uint8_t* out, size_t outSize, size_t& done) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_in = const_cast<Bytef*>(in.data());
  zs.avail_in = static_cast<uInt>(in.size());
  bool ok = true;
  done = 0;
  while (done < outSize) {
    const size_t chunk = std::min<size_t>(outSize - done, 1u << 30);
    zs.next_out = out + done;
    zs.avail_out = static_cast<uInt>(chunk);
    const int result = inflate(&zs, Z_FINISH);
    done += chunk - zs.avail_out;
    if (result == Z_STREAM_END) break;
    if (result != Z_OK && !(result == Z_BUF_ERROR && zs.avail_out == 0)) {
      ok = false;
      break;
    }
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
      std::vector<uint8_t> compressed(static_cast<size_t>(payloadLength));
      if (compressed.empty()) return false;
      if (stream.ReadAt(payloadStart, compressed.data(), compressed.size()) != compressed.size()) return false;
      if (!Inflate(compressed, data.data(), data.size(), filled)) return false;
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
