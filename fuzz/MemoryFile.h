#pragma once
// An anonymous in-memory file with a path, so that readers which open files
// by name can be fed fuzzer input without touching the disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace orbelin::fuzz {

class TMemoryFile {
public:
  TMemoryFile() : fd_(memfd_create("fuzz-input", 0)) {}
  ~TMemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  TMemoryFile(const TMemoryFile&) = delete;
  TMemoryFile& operator=(const TMemoryFile&) = delete;

  // Replaces the content; returns the path that opens it.
  std::string Store(const uint8_t* data, size_t size) {
    if (fd_ < 0 || ftruncate(fd_, 0) != 0) return {};
    size_t done = 0;
    while (done < size) {
      const ssize_t wrote = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (wrote <= 0) return {};
      done += static_cast<size_t>(wrote);
    }
    return "/proc/self/fd/" + std::to_string(fd_);
  }

private:
  int fd_;
};

}  // namespace orbelin::fuzz
