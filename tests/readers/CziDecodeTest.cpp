// The subblock decoders on their own: long LZW streams (every code width and
// a table reset), zstd frames without a declared size, the size limit, and
// zstd planes decoded from a stream with and without the helper thread.
#include <gtest/gtest.h>

#include <zstd.h>

#include <algorithm>
#include <cstring>

#include "fixtures/CziWriter.h"
#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"
#include "readers/czi/CziZstdPlane.h"

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

// Samples whose low bytes are noise and whose high bytes vary slowly, like a
// camera's: the zstd stream holds stored and compressed blocks both.
std::vector<uint16_t> CameraSamples(size_t count) {
  std::vector<uint16_t> samples(count);
  uint32_t state = 99;
  for (size_t i = 0; i < count; ++i) {
    state = state * 1664525 + 1013904223;
    samples[i] = static_cast<uint16_t>((i / 4096 % 40 + 2) << 8 | state >> 24);
  }
  return samples;
}

std::vector<uint8_t> HiLoBytes(const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> bytes(2 * samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(samples[i]);
    bytes[samples.size() + i] = static_cast<uint8_t>(samples[i] >> 8);
  }
  return bytes;
}

std::vector<uint8_t> Zstd(const uint8_t* bytes, size_t size) {
  std::vector<uint8_t> frame(ZSTD_compressBound(size));
  frame.resize(ZSTD_compress(frame.data(), frame.size(), bytes, size, 1));
  return frame;
}

std::vector<uint8_t> Zstd(const std::vector<uint8_t>& bytes) { return Zstd(bytes.data(), bytes.size()); }

// A file whose reads stop short from some offset on, as on a failing disk.
class TFailingStream final : public TStream {
public:
  TFailingStream(const std::vector<uint8_t>& bytes, int64_t failFrom) : bytes_(bytes), failFrom_(failFrom) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  size_t ReadAt(int64_t offset, void* buffer, size_t count) const override {
    const int64_t end = std::min(failFrom_, Size());
    if (offset >= end) return 0;
    count = std::min(count, static_cast<size_t>(end - offset));
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
  }

private:
  const std::vector<uint8_t>& bytes_;
  int64_t failFrom_;
};

// Small planes decode in the calling thread, large ones with the helper; both
// must deliver the same samples and fail the same way.
TEST(CziZstdPlane, DecodesPlainAndHiLoStreamsAloneAndWithTheHelper) {
  for (size_t count : {size_t{1}, size_t{4099}, size_t{1} << 20}) {
    const std::vector<uint16_t> samples = CameraSamples(count);
    const std::vector<uint8_t> plain = test::WordBytes(samples), hiLo = HiLoBytes(samples);
    const std::vector<uint8_t> hiLoFrame = Zstd(hiLo);
    // Two frames one after the other, split inside the low bytes.
    std::vector<uint8_t> twoFrames = Zstd(hiLo.data(), count / 2);
    const std::vector<uint8_t> second = Zstd(hiLo.data() + count / 2, hiLo.size() - count / 2);
    twoFrames.insert(twoFrames.end(), second.begin(), second.end());
    if (count > 1000000) {
      ASSERT_GE(hiLoFrame.size(), kZstdHelperFromBytes) << "the helper must be used";
    }

    struct TCase {
      const char* what;
      std::vector<uint8_t> stored;
      bool hiLo;
    };
    const TCase cases[] = {{"plain", Zstd(plain), false}, {"hi-lo", hiLoFrame, true}, {"two frames", twoFrames, true}};
    for (const TCase& c : cases) {
      const TMemoryStream stream(c.stored.data(), c.stored.size());
      TWordDynArray plane{7};
      DecodeZstdPlane(stream, 0, c.stored.size(), c.hiLo, count, plane);
      EXPECT_TRUE(plane == TWordDynArray(samples.begin(), samples.end())) << c.what << ", " << count << " samples";
    }
  }
}

TEST(CziZstdPlane, AFaultyStreamRaisesAndLeavesThePlaneAsItWas) {
  for (size_t count : {size_t{4099}, size_t{1} << 20}) {
    const std::vector<uint16_t> samples = CameraSamples(count);
    const std::vector<uint8_t> hiLo = HiLoBytes(samples);
    const std::vector<uint8_t> frame = Zstd(hiLo);
    std::vector<uint8_t> truncated(frame.begin(), frame.end() - 5), trailing = frame;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5, 6, 7, 8});
    struct TCase {
      const char* what;
      std::vector<uint8_t> stored;
      size_t samples;
      int64_t failFrom;
    };
    const TCase cases[] = {
        {"truncated frame", truncated, count, INT64_MAX},
        {"bytes after the frame", trailing, count, INT64_MAX},
        {"one sample short", frame, count + 1, INT64_MAX},
        {"one sample too many", frame, count - 1, INT64_MAX},
        {"nothing stored", {}, count, INT64_MAX},
        {"read fails midway", frame, count, static_cast<int64_t>(frame.size() / 2)},
    };
    for (const TCase& c : cases) {
      const TFailingStream stream(c.stored, c.failFrom);
      TWordDynArray plane{1, 2};
      EXPECT_THROW(DecodeZstdPlane(stream, 0, c.stored.size(), true, c.samples, plane), ESciImageReaderError)
          << c.what << ", " << count << " samples";
      EXPECT_EQ(plane, (TWordDynArray{1, 2})) << c.what;
    }
  }
}

}  // namespace
}  // namespace orbelin
