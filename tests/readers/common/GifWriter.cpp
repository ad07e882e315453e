#include "readers/common/GifWriter.h"

#include <algorithm>

namespace orbelin::test {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

// Packs 9-bit codes, least significant bit first, into 255-byte sub-blocks.
class TCodeWriter {
public:
  void Put(unsigned code) {
    bits_ |= code << count_;
    count_ += 9;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(bits_ & 0xFF));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Finish(std::vector<uint8_t>& out) {
    if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(bits_ & 0xFF));
    for (size_t at = 0; at < bytes_.size(); at += 255) {
      const size_t length = std::min<size_t>(255, bytes_.size() - at);
      out.push_back(static_cast<uint8_t>(length));
      out.insert(out.end(), bytes_.begin() + static_cast<long>(at), bytes_.begin() + static_cast<long>(at + length));
    }
    out.push_back(0);
  }

private:
  std::vector<uint8_t> bytes_;
  unsigned bits_ = 0;
  int count_ = 0;
};

}  // namespace

std::vector<uint8_t> WriteGif(int width, int height, const std::array<std::array<uint8_t, 3>, 256>& palette,
                              const std::vector<TGifFrame>& frames) {
  constexpr unsigned kClear = 256, kEnd = 257;
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<unsigned>(width));
  Put16(out, static_cast<unsigned>(height));
  out.insert(out.end(), {0xF7, 0, 0});  // global table of 256 colours
  for (const auto& rgb : palette) out.insert(out.end(), rgb.begin(), rgb.end());
  for (const TGifFrame& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 4, 0});  // graphic control: no disposal, no transparency
    Put16(out, frame.DelayCs);
    out.insert(out.end(), {0, 0});
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(width));
    Put16(out, static_cast<unsigned>(height));
    out.push_back(0);
    out.push_back(8);  // minimum code size
    TCodeWriter codes;
    int sinceClear = 0;
    for (uint8_t index : frame.Indices) {
      if (sinceClear == 0) codes.Put(kClear);
      codes.Put(index);
      // The decoder adds a table entry per code; clear well before it reaches 512.
      if (++sinceClear == 200) sinceClear = 0;
    }
    codes.Put(kEnd);
    codes.Finish(out);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace orbelin::test
