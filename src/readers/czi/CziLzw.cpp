#include <algorithm>
#include <vector>

#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {

// LZW as TIFF writes it: codes of 9 to 12 bits, most significant bit first,
// 256 clears the table, 257 ends the data, the code width grows one code early.
TByteDynArray DecodeCziLzw(const uint8_t* data, size_t size, int64_t limit) {
  constexpr int kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
  // Each table entry is its prefix code and last byte; strings are spelled backwards into a scratch buffer.
  std::vector<int16_t> prefix(kTableSize, -1);
  std::vector<uint8_t> suffix(kTableSize, 0), firstByte(kTableSize, 0);
  std::vector<uint16_t> length(kTableSize, 1);
  for (int i = 0; i < 256; ++i) {
    suffix[i] = static_cast<uint8_t>(i);
    firstByte[i] = static_cast<uint8_t>(i);
  }
  TByteDynArray out;
  out.reserve(static_cast<size_t>(std::min<int64_t>(limit, int64_t{1} << 24)));
  int next = kFirstFree, width = 9, previous = -1;
  uint64_t bits = 0;
  int bitCount = 0;
  size_t position = 0;
  auto emit = [&](int code) {
    const size_t start = out.size();
    if (static_cast<int64_t>(start + length[code]) > limit)
      RaiseError<ESciImageReaderError>("LZW subblock decodes to more bytes than the plane holds.");
    out.resize(start + length[code]);
    for (int c = code, i = length[code] - 1; i >= 0; c = prefix[c], --i) out[start + i] = suffix[c];
  };
  for (;;) {
    while (bitCount < width && position < size) {
      bits = (bits << 8) | data[position++];
      bitCount += 8;
    }
    if (bitCount < width) break;  // the data ends without an end code
    const int code = static_cast<int>((bits >> (bitCount - width)) & ((1u << width) - 1));
    bitCount -= width;
    if (code == kEnd) break;
    if (code == kClear) {
      next = kFirstFree;
      width = 9;
      previous = -1;
      continue;
    }
    if (previous < 0) {
      if (code > 255) RaiseError<ESciImageReaderError>("LZW subblock is damaged.");
      emit(code);
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kTableSize))
      RaiseError<ESciImageReaderError>("LZW subblock is damaged.");
    if (next < kTableSize) {
      // The new entry is the previous string plus the first byte of the current one
      // (of the previous one when the code is the entry being defined).
      prefix[next] = static_cast<int16_t>(previous);
      suffix[next] = code < next ? firstByte[code] : firstByte[previous];
      firstByte[next] = firstByte[previous];
      length[next] = static_cast<uint16_t>(length[previous] + 1);
      ++next;
    }
    emit(code);
    previous = code;
    if (next + 1 >= (1 << width) && width < 12) ++width;
  }
  return out;
}

}  // namespace orbelin
