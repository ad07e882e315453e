#include "foundation/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Unicode.h"

namespace orbelin {

size_t TStream::Read(void* buffer, size_t count) {
  const size_t got = ReadAt(position_, buffer, count);
  position_ += static_cast<int64_t>(got);
  return got;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count == 0) return;
  if (Read(buffer, count) != count) RaiseError<EReadError>("Stream read error");
}

int64_t TStream::Remaining() const {
  const int64_t left = Size() - position_;
  return left > 0 ? left : 0;
}

TFileStream::TFileStream(const std::string& fileName) : fileName_(fileName) {
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    RaiseErrorFmt<EInOutError>("Cannot open file \"%s\". %s", fileName.c_str(), std::strerror(errno));
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    RaiseErrorFmt<EInOutError>("Cannot open file \"%s\". Not a regular file", fileName.c_str());
  }
  size_ = info.st_size;
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t TFileStream::ReadAt(int64_t offset, void* buffer, size_t count) const {
  if (offset < 0 || offset >= size_) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size_ - offset));
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    const ssize_t got = ::pread(fd_, out + done, count - done, offset + static_cast<int64_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

size_t TMemoryStream::ReadAt(int64_t offset, void* buffer, size_t count) const {
  const auto size = static_cast<int64_t>(bytes_.size());
  if (offset < 0 || offset >= size) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - offset));
  std::memcpy(buffer, bytes_.data() + offset, count);
  return count;
}

std::unique_ptr<TFileStream> OpenFileRead(const std::string& fileName) {
  return std::make_unique<TFileStream>(fileName);
}

namespace {
// The program runs on little-endian hosts only, so a typed read is a copy.
static_assert(std::endian::native == std::endian::little);

template <class T>
T ReadLittleEndian(TStream& stream) {
  T value;
  stream.ReadBuffer(&value, sizeof(T));
  return value;
}
}  // namespace

uint8_t ReadByte(TStream& stream) { return ReadLittleEndian<uint8_t>(stream); }
uint16_t ReadUInt16(TStream& stream) { return ReadLittleEndian<uint16_t>(stream); }
uint32_t ReadUInt32(TStream& stream) { return ReadLittleEndian<uint32_t>(stream); }
int32_t ReadInt32(TStream& stream) { return ReadLittleEndian<int32_t>(stream); }
float ReadSingle(TStream& stream) { return ReadLittleEndian<float>(stream); }
uint64_t ReadUInt64(TStream& stream) { return ReadLittleEndian<uint64_t>(stream); }
int64_t ReadInt64(TStream& stream) { return ReadLittleEndian<int64_t>(stream); }
double ReadDouble(TStream& stream) { return ReadLittleEndian<double>(stream); }

uint32_t ReadBigEndianUInt32(TStream& stream) {
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

std::string ReadWideChars(TStream& stream, int n) {
  if (n <= 0) return {};
  if (static_cast<int64_t>(n) * 2 > stream.Remaining()) RaiseError<EReadError>("Stream read error");
  std::u16string units(static_cast<size_t>(n), u'\0');
  std::vector<uint8_t> raw(static_cast<size_t>(n) * 2);
  stream.ReadBuffer(raw.data(), raw.size());
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  return Utf16ToUtf8(units);
}

std::string ReadAnsiChars(TStream& stream, int n) {
  if (n <= 0) return {};
  if (static_cast<int64_t>(n) > stream.Remaining()) RaiseError<EReadError>("Stream read error");
  std::string text(static_cast<size_t>(n), '\0');
  stream.ReadBuffer(text.data(), text.size());
  return text;
}

std::string ReadWideStringZ(TStream& stream) {
  constexpr size_t kBlockBytes = 2048;
  uint8_t block[kBlockBytes];
  std::u16string units;
  for (;;) {
    const int64_t blockStart = stream.Position();
    const size_t got = stream.Read(block, kBlockBytes);
    const size_t chars = got / 2;
    for (size_t k = 0; k < chars; ++k) {
      const auto unit = static_cast<char16_t>(block[2 * k] | (block[2 * k + 1] << 8));
      if (unit == 0) {
        stream.Seek(blockStart + static_cast<int64_t>(2 * (k + 1)));
        return Utf16ToUtf8(units);
      }
      units.push_back(unit);
    }
    if (got < kBlockBytes || stream.Position() >= stream.Size()) return Utf16ToUtf8(units);
  }
}

}  // namespace orbelin
