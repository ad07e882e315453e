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

namespace {

// The stored rows pass through a buffer of about this size, small enough to
// stay in the cache between being read and being de-interleaved.
constexpr int64_t kComponentBlockBytes = int64_t{256} << 10;

// Takes every `step`-th sample of type Sample from in, widened to 16 bits.
// A step known when compiling lets the compiler vectorise the gather.
template <class Sample, int64_t Step>
void TakeEvery(const uint8_t* in, int64_t count, int64_t step, uint16_t* out) {
  const int64_t s = Step > 0 ? Step : step;
  for (int64_t i = 0; i < count; ++i) {
    Sample value;
    std::memcpy(&value, in + i * s * static_cast<int64_t>(sizeof(Sample)), sizeof(Sample));
    out[i] = value;
  }
}

template <class Sample>
void TakeSamplesOf(const uint8_t* in, int64_t count, int64_t step, uint16_t* out) {
  switch (step) {
    case 2: return TakeEvery<Sample, 2>(in, count, step, out);
    case 3: return TakeEvery<Sample, 3>(in, count, step, out);
    case 4: return TakeEvery<Sample, 4>(in, count, step, out);
    default: return TakeEvery<Sample, 0>(in, count, step, out);
  }
}

// Takes every `step`-th sample of `bytesPerSample` bytes from in, widened to 16 bits.
void TakeSamples(const uint8_t* in, int64_t count, int64_t step, int64_t bytesPerSample, uint16_t* out) {
  if (bytesPerSample == 1) TakeSamplesOf<uint8_t>(in, count, step, out);
  else TakeSamplesOf<uint16_t>(in, count, step, out);
}

}  // namespace

bool CanReadNd2Component(const TNd2Header& header) {
  return header.CompressionMode == cmUncompressed && (header.BytesPerSample == 1 || header.BytesPerSample == 2) &&
         header.Width > 0 && header.Height > 0 && header.Components > 0;
}

bool ReadNd2Component(TStream& stream, const TNd2Header& header, int64_t sequence, int component, TWordDynArray& plane) {
  if (!CanReadNd2Component(header) || component < 0 || component >= header.Components) return false;
  if (sequence < 0 || sequence >= static_cast<int64_t>(header.ImageDataChunks.size())) return false;
  try {
    const TChunkEntry& entry = header.Map[static_cast<size_t>(header.ImageDataChunks[static_cast<size_t>(sequence)])];
    const TNd2ChunkHeader chunk = ReadNd2ChunkHeader(stream, entry.Position);
    if (chunk.DataLength < kTimeStampBytes) return false;
    const int64_t payloadStart = chunk.DataStart + static_cast<int64_t>(kTimeStampBytes);
    const int64_t stride = header.RowStride();
    const int64_t rows = header.Height;
    const int64_t width = header.Width;
    const int64_t sampleBytes = header.BytesPerSample;
    // Only the payload is read: the bytes behind it belong to other chunks.
    const int64_t stored = static_cast<int64_t>(std::min<uint64_t>(chunk.DataLength - kTimeStampBytes,
                                                                   static_cast<uint64_t>(stride * rows)));
    plane.resize(static_cast<size_t>(width * rows));

    const int64_t blockRows = std::max<int64_t>(1, kComponentBlockBytes / stride);
    std::vector<uint8_t> block;
    const bool straight = header.Components == 1 && sampleBytes == 2 && stride == header.PackedRowBytes();
    if (straight) {
      // Nothing to take apart: the stored rows are the plane.
      auto* out = reinterpret_cast<uint8_t*>(plane.data());
      const size_t filled = stream.ReadAt(payloadStart, out, static_cast<size_t>(stored));
      std::memset(out + filled, 0, plane.size() * 2 - filled);
      return true;
    }
    block.reserve(static_cast<size_t>(std::min(blockRows, rows) * stride));
    for (int64_t row = 0; row < rows; row += blockRows) {
      const int64_t count = std::min(blockRows, rows - row);
      const int64_t start = row * stride;
      block.resize(static_cast<size_t>(count * stride));
      const int64_t want = std::clamp<int64_t>(stored - start, 0, count * stride);
      const size_t filled = want > 0 ? stream.ReadAt(payloadStart + start, block.data(), static_cast<size_t>(want)) : 0;
      std::memset(block.data() + filled, 0, block.size() - filled);
      for (int64_t r = 0; r < count; ++r)
        TakeSamples(block.data() + r * stride + component * sampleBytes, width, header.Components, sampleBytes,
                    plane.data() + (row + r) * width);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace orbelin
