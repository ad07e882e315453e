#pragma once
// Conversions between the UTF-16 texts stored in microscope files and the
// UTF-8 strings used everywhere in the program.
#include <string>

namespace orbelin {

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);

}  // namespace orbelin
