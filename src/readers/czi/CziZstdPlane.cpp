#define ZSTD_STATIC_LINKING_ONLY  // for the block-by-block decoding calls
#include <zstd.h>

#include "readers/czi/CziZstdPlane.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {

namespace {

constexpr size_t kReadStep = size_t{256} << 10;  // compressed bytes the helper reads at a time
constexpr size_t kGaveUp = SIZE_MAX;             // progress of a side that stopped early
constexpr size_t kKeptScratchBytes = size_t{64} << 20;

ZSTD_DCtx* ThreadDecoder() {
  struct TContext {
    ZSTD_DCtx* context = ZSTD_createDCtx();
    ~TContext() { ZSTD_freeDCtx(context); }
  };
  thread_local TContext decoder;
  if (!decoder.context) RaiseError<ESciImageReaderError>("zstd: out of memory");
  return decoder.context;
}

// Interleaves like UnpackHiLoBytes, the halves anywhere, but writes around
// the caches: the plane is not read again here, and a decoder running beside
// keeps its own working set in the cache.
void InterleaveIntoMemory(const uint8_t* low, const uint8_t* high, size_t samples, uint16_t* dest) {
  size_t i = 0;
#ifdef __SSE2__
  for (; i < samples && reinterpret_cast<uintptr_t>(dest + i) % 16 != 0; ++i)
    dest[i] = static_cast<uint16_t>(low[i] | high[i] << 8);
  for (; i + 16 <= samples; i += 16) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + i));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + i));
    _mm_stream_si128(reinterpret_cast<__m128i*>(dest + i), _mm_unpacklo_epi8(lo, hi));
    _mm_stream_si128(reinterpret_cast<__m128i*>(dest + i + 8), _mm_unpackhi_epi8(lo, hi));
  }
  _mm_sfence();
#endif
  for (; i < samples; ++i) dest[i] = static_cast<uint16_t>(low[i] | high[i] << 8);
}

size_t CheckZstd(size_t result) {
  if (ZSTD_isError(result)) RaiseErrorFmt<ESciImageReaderError>("zstd: %s", ZSTD_getErrorName(result));
  return result;
}

// One plane's decoding, shared by the decoding thread and its helper. The
// compressed bytes arrive in `stored`, the decoded stream in `decoded`, and a
// hi-lo plane's samples in `hiLoSamples`. Each side tells the other how far it has
// come through its own counter, and stores kGaveUp there when it stops early.
class TZstdPlaneJob {
public:
  TZstdPlaneJob(const TStream& stream, int64_t offset, TByteDynArray& stored, uint8_t* decoded, size_t decodedBytes,
                uint16_t* hiLoSamples)
      : stream_(stream), offset_(offset), stored_(stored.data()), storedBytes_(stored.size()), decoded_(decoded),
        decodedBytes_(decodedBytes), hiLoSamples_(hiLoSamples) {}

  // Everything in the calling thread: read, then decode and interleave block by block.
  void RunAlone() {
    ReadStored();
    Decode();
  }

  // Splits the work with a helper thread; falls back to RunAlone when no thread can be started.
  void RunWithHelper() {
    withHelper_ = true;
    std::thread helper;
    try {
      helper = std::thread([this] { HelperPart(); });
    } catch (const std::system_error&) {
      withHelper_ = false;
      RunAlone();
      return;
    }
    try {
      Decode();
    } catch (...) {
      decodedSoFar_.store(kGaveUp, std::memory_order_release);
      helper.join();
      throw;
    }
    helper.join();
  }

private:
  void HelperPart() noexcept {
    ReadStored();
    if (hiLoSamples_ && storedSoFar_.load(std::memory_order_relaxed) != kGaveUp) InterleaveBehindDecoder();
  }

  void ReadStored() noexcept {
    for (size_t done = 0; done < storedBytes_;) {
      if (decodedSoFar_.load(std::memory_order_acquire) == kGaveUp) return;
      const size_t step = std::min(kReadStep, storedBytes_ - done);
      const bool complete = stream_.ReadAt(offset_ + static_cast<int64_t>(done), stored_ + done, step) == step;
      done = complete ? done + step : kGaveUp;
      storedSoFar_.store(done, std::memory_order_release);
      if (!complete) return;
    }
  }

  void WaitForStored(size_t bytes) {
    for (;;) {
      const size_t got = storedSoFar_.load(std::memory_order_acquire);
      if (got == kGaveUp) RaiseError<ESciImageReaderError>("Cannot read the subblock's data.");
      if (got >= bytes) return;
      std::this_thread::yield();
    }
  }

  // Decodes every frame the subblock holds, one zstd block at a time, so the
  // other side can follow the output while it is still in the cache.
  void Decode() {
    ZSTD_DCtx* decoder = ThreadDecoder();
    size_t consumed = 0, produced = 0;
    while (consumed < storedBytes_) {
      CheckZstd(ZSTD_decompressBegin(decoder));
      for (size_t want; (want = ZSTD_nextSrcSizeToDecompress(decoder)) != 0;) {
        if (want > storedBytes_ - consumed) RaiseError<ESciImageReaderError>("zstd: truncated frame");
        WaitForStored(consumed + want);
        const size_t got = CheckZstd(ZSTD_decompressContinue(decoder, decoded_ + produced,
                                                             decodedBytes_ - produced, stored_ + consumed, want));
        consumed += want;
        produced += got;
        if (got > 0) Publish(produced);
      }
    }
    if (produced != decodedBytes_)
      RaiseErrorFmt<ESciImageReaderError>("Decoded subblock holds %zu bytes instead of %zu.", produced,
                                          decodedBytes_);
  }

  void Publish(size_t produced) {
    if (withHelper_)
      decodedSoFar_.store(produced, std::memory_order_release);
    else
      Interleave(produced);
  }

  // The two sides poll instead of sleeping: a wake-up through the kernel for
  // every block would cost the decoder more than the helper saves it.
  void InterleaveBehindDecoder() noexcept {
    const size_t samples = decodedBytes_ / 2;
    for (size_t seen = 0; interleaved_ < samples;) {
      const size_t now = decodedSoFar_.load(std::memory_order_acquire);
      if (now == kGaveUp) return;
      if (now == seen) {
        std::this_thread::yield();
        continue;
      }
      seen = now;
      Interleave(seen);
    }
  }

  // The low bytes make up the first half of the stream, so every high byte
  // decoded completes one sample.
  void Interleave(size_t produced) noexcept {
    const size_t samples = decodedBytes_ / 2;
    if (!hiLoSamples_ || produced <= samples) return;
    const size_t upTo = std::min(produced - samples, samples);
    if (upTo <= interleaved_) return;
    InterleaveIntoMemory(decoded_ + interleaved_, decoded_ + samples + interleaved_, upTo - interleaved_,
                         hiLoSamples_ + interleaved_);
    interleaved_ = upTo;
  }

  const TStream& stream_;
  const int64_t offset_;
  uint8_t* const stored_;
  const size_t storedBytes_;
  uint8_t* const decoded_;
  const size_t decodedBytes_;
  uint16_t* const hiLoSamples_;  // null when the stream holds the samples as they are
  bool withHelper_ = false;
  size_t interleaved_ = 0;  // hi-lo samples complete in hiLoSamples_
  std::atomic<size_t> storedSoFar_{0};
  std::atomic<size_t> decodedSoFar_{0};
};

}  // namespace

void DecodeZstdPlane(const TStream& stream, int64_t offset, size_t size, bool hiLo, size_t samples,
                     TWordDynArray& plane) {
  thread_local TByteDynArray stored, packed;
  thread_local TWordDynArray words;
  stored.resize(size);
  words.resize(samples);
  if (hiLo) packed.resize(2 * samples);
  uint8_t* decoded = hiLo ? packed.data() : reinterpret_cast<uint8_t*>(words.data());
  TZstdPlaneJob job(stream, offset, stored, decoded, 2 * samples, hiLo ? words.data() : nullptr);
  if (size >= kZstdHelperFromBytes)
    job.RunWithHelper();
  else
    job.RunAlone();
  plane.swap(words);
  // Keep at most a moderate plane's worth of scratch memory per thread.
  if (words.capacity() * 2 > kKeptScratchBytes) TWordDynArray().swap(words);
  if (stored.capacity() > kKeptScratchBytes) TByteDynArray().swap(stored);
  if (packed.capacity() > kKeptScratchBytes) TByteDynArray().swap(packed);
}

}  // namespace orbelin
