#pragma once
// Byte streams the readers parse: a read-only file (shared for reading, never
// written) and a memory buffer (tests and fuzzers). Every typed read is
// little-endian and raises EReadError when the stream holds fewer bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orbelin {

class TStream {
public:
  virtual ~TStream() = default;
  virtual int64_t Size() const = 0;
  int64_t Position() const { return position_; }
  // Any position is accepted; reads beyond the end simply return fewer bytes.
  void Seek(int64_t position) { position_ = position < 0 ? 0 : position; }
  // Reads up to count bytes at the position and advances; returns the bytes read.
  size_t Read(void* buffer, size_t count);
  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, size_t count);
  // Reads up to count bytes at an absolute offset without moving the position.
  virtual size_t ReadAt(int64_t offset, void* buffer, size_t count) const = 0;
  // Bytes left between the position and the end (0 when beyond it).
  int64_t Remaining() const;

protected:
  int64_t position_ = 0;
};

class TFileStream final : public TStream {
public:
  // Raises EInOutError when the file cannot be opened for reading.
  explicit TFileStream(const std::string& fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Size() const override { return size_; }
  size_t ReadAt(int64_t offset, void* buffer, size_t count) const override;
  const std::string& FileName() const { return fileName_; }

private:
  std::string fileName_;
  int fd_ = -1;
  int64_t size_ = 0;
};

class TMemoryStream final : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  TMemoryStream(const void* data, size_t size);

  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  size_t ReadAt(int64_t offset, void* buffer, size_t count) const override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
};

// Opens a file for reading; other processes may read but this program never writes it.
std::unique_ptr<TFileStream> OpenFileRead(const std::string& fileName);

uint8_t ReadByte(TStream& stream);
uint16_t ReadUInt16(TStream& stream);
uint32_t ReadUInt32(TStream& stream);
int32_t ReadInt32(TStream& stream);
float ReadSingle(TStream& stream);
uint64_t ReadUInt64(TStream& stream);
int64_t ReadInt64(TStream& stream);
double ReadDouble(TStream& stream);
uint32_t ReadBigEndianUInt32(TStream& stream);
// n UTF-16 characters, returned as UTF-8; n < 0 reads nothing.
std::string ReadWideChars(TStream& stream, int n);
// n bytes taken as they are.
std::string ReadAnsiChars(TStream& stream, int n);
// A zero-terminated UTF-16 string, returned as UTF-8; the position ends after the terminator.
std::string ReadWideStringZ(TStream& stream);

}  // namespace orbelin
