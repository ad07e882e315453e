// The subblock decoders on their own: long LZW streams (every code width and
// a table reset), zstd frames without a declared size, and the size limit.
#include <gtest/gtest.h>

#include <zstd.h>

#include "fixtures/CziWriter.h"
#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {
namespace {

std::vector<uint8_t> Texture(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 12345;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245 + 12345;
    bytes[i] = static_cast<uint8_t>((i / 7) % 13 + ((state >> 16) & 3) * 40);
  }
  return bytes;
}

TEST(CziDecode, LzwRoundTripsThroughEveryCodeWidth) {
  for (size_t size : {size_t{1}, size_t{2}, size_t{300}, size_t{70000}}) {
    const std::vector<uint8_t> bytes = Texture(size);
    const std::vector<uint8_t> packed = test::CompressLzw(bytes);
    EXPECT_EQ(DecodeCziLzw(packed.data(), packed.size(), static_cast<int64_t>(size)), bytes) << size;
  }
  const std::vector<uint8_t> packed = test::CompressLzw(Texture(1000));
  EXPECT_THROW(DecodeCziLzw(packed.data(), packed.size(), 999), ESciImageReaderError);
  const uint8_t damaged[] = {0x80, 0x7F, 0xFF, 0xFF};  // clear, then a code never defined
  EXPECT_THROW(DecodeCziLzw(damaged, sizeof damaged, 100), ESciImageReaderError);
}

TEST(CziDecode, ZstdFramesWithoutDeclaredSizeStillStopAtTheLimit) {
  const std::vector<uint8_t> bytes = Texture(200000);
  std::vector<uint8_t> frame(ZSTD_compressBound(bytes.size()));
  ZSTD_CCtx* context = ZSTD_createCCtx();
  ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, 0);
  frame.resize(ZSTD_compress2(context, frame.data(), frame.size(), bytes.data(), bytes.size()));
  ZSTD_freeCCtx(context);
  ASSERT_EQ(ZSTD_getFrameContentSize(frame.data(), frame.size()), ZSTD_CONTENTSIZE_UNKNOWN);

  EXPECT_EQ(DecodeZstdFrame(frame.data(), frame.size(), 200000), bytes);
  // Beyond the limit the decoder stops one byte past it, so the size check fails.
  EXPECT_EQ(DecodeZstdFrame(frame.data(), frame.size(), 1000).size(), 1001u);
  TCziPlaneShape shape;
  shape.Width = 100;
  shape.Height = 5;
  shape.SampleBytes = 2;
  EXPECT_THROW(DecodeCziSubblock(5, frame, shape), ESciImageReaderError);
  EXPECT_THROW(DecodeCziSubblock(3, frame, shape), ESciImageReaderError);
}

TEST(CziDecode, HiLoUnpackingMatchesThePlainLoop) {
  for (size_t samples : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{1000}}) {
    const std::vector<uint8_t> packed = Texture(2 * samples);
    std::vector<uint8_t> expected(2 * samples), unpacked(2 * samples, 0xAA);
    for (size_t i = 0; i < samples; ++i) {
      expected[2 * i] = packed[i];
      expected[2 * i + 1] = packed[samples + i];
    }
    UnpackHiLoBytes(packed.data(), samples, unpacked.data());
    EXPECT_EQ(unpacked, expected) << samples;
  }
}

}  // namespace
}  // namespace orbelin
