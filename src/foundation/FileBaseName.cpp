#include "foundation/FileBaseName.h"

namespace orbelin {

std::string FileBaseName(std::string_view path) {
  // Backslash and colon come from names written on Windows (stored in files and
  // settings); the slash is this platform's own separator.
  const size_t folderEnd = path.find_last_of("\\:/");
  const size_t nameStart = folderEnd == std::string_view::npos ? 0 : folderEnd + 1;
  const size_t dot = path.find_last_of(".\\:/");
  if (dot != std::string_view::npos && path[dot] == '.') {
    return std::string(path.substr(nameStart, dot - nameStart));
  }
  return std::string(path.substr(nameStart));
}

}  // namespace orbelin
