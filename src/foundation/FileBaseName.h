#pragma once
// The bare name of a file: no folder, no extension.
#include <string>
#include <string_view>

namespace orbelin {

// The characters after the last folder separator ("/", "\" or a drive colon)
// up to, not including, the last dot of that name; the whole name when it has
// no dot. "C:\data\cell.tar.gz" gives "cell.tar"; ".hidden" gives "".
std::string FileBaseName(std::string_view path);

}  // namespace orbelin
