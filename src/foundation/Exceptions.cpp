#include "foundation/Exceptions.h"

#include <cstdio>
#include <vector>

namespace orbelin {

std::string FormatTextV(const char* format, va_list args) {
  va_list probe;
  va_copy(probe, args);
  const int length = std::vsnprintf(nullptr, 0, format, probe);
  va_end(probe);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatTextV(format, args);
  va_end(args);
  return text;
}

}  // namespace orbelin
