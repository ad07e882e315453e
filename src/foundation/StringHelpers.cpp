#include "foundation/StringHelpers.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>

namespace orbelin {
namespace {

int ToIndex(size_t position) {
  return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

// Cuts [i, i + n) to [0, size); n < 0 means "to the end".
std::pair<size_t, size_t> CutRange(size_t size, int i, int n) {
  const size_t start = i <= 0 ? 0 : std::min(static_cast<size_t>(i), size);
  const size_t available = size - start;
  const size_t count = n < 0 ? available : std::min(static_cast<size_t>(n), available);
  return {start, count};
}

}  // namespace

int PosChar(std::string_view s, char c) { return ToIndex(s.find(c)); }

int PosCharFrom(std::string_view s, char c, int from) {
  return ToIndex(s.find(c, from < 0 ? 0 : static_cast<size_t>(from)));
}

int LastPosChar(std::string_view s, char c) { return ToIndex(s.rfind(c)); }

int LastDelimiterIndex(std::string_view s, std::string_view chars) {
  return chars.empty() ? -1 : ToIndex(s.find_last_of(chars));
}

bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view prefix, bool ignoreCase) {
  if (s.size() < prefix.size()) return false;
  if (!ignoreCase) return s.substr(0, prefix.size()) == prefix;
  return SameText(s.substr(0, prefix.size()), prefix);
}

std::string CopyFrom(std::string_view s, int i) {
  const auto [start, count] = CutRange(s.size(), i, -1);
  return std::string(s.substr(start, count));
}

std::string CopyRange(std::string_view s, int i, int n) {
  if (n <= 0) return {};
  const auto [start, count] = CutRange(s.size(), i, n);
  return std::string(s.substr(start, count));
}

void InsertAt(std::string& s, int i, std::string_view sub) {
  const size_t at = i <= 0 ? 0 : std::min(static_cast<size_t>(i), s.size());
  s.insert(at, sub);
}

void DeleteAt(std::string& s, int i, int n) {
  if (i < 0 || n <= 0) return;
  const auto [start, count] = CutRange(s.size(), i, n);
  s.erase(start, count);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool TryParseInt(std::string_view text, int& value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool TryParseFloat(std::string_view text, double& value) {
  const char* localeSeparator = std::localeconv()->decimal_point;
  return TryParseFloat(text, value,
                       localeSeparator != nullptr && *localeSeparator != '\0' ? localeSeparator : ".");
}

bool TryParseFloat(std::string_view text, double& value, std::string_view separator) {
  if (separator.empty()) separator = ".";

  // Rewrite into the locale-free form std::from_chars reads: "." as separator,
  // no leading "+". A "." that is not the user's separator makes the text invalid.
  std::string plain;
  plain.reserve(text.size());
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    if (text[at] == '-') plain += '-';
    ++at;
  }
  // Digits or a separator must follow the sign: no "inf", "nan" or hex forms.
  const std::string_view rest = text.substr(at);
  if (rest.empty() || !(IsDigit(rest.front()) || rest.substr(0, separator.size()) == separator)) {
    return false;
  }
  while (at < text.size()) {
    if (text.substr(at, separator.size()) == separator) {
      plain += '.';
      at += separator.size();
    } else if (text[at] == '.') {
      return false;
    } else {
      plain += text[at++];
    }
  }
  double parsed = 0;
  const auto [end, error] =
      std::from_chars(plain.data(), plain.data() + plain.size(), parsed, std::chars_format::general);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int CompareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t k = 0; k < common; ++k) {
    const auto ca = static_cast<unsigned char>(UpperAscii(a[k]));
    const auto cb = static_cast<unsigned char>(UpperAscii(b[k]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool MatchesAny(std::string_view s, std::initializer_list<std::string_view> values) {
  return std::find(values.begin(), values.end(), s) != values.end();
}

bool MatchesAny(std::string_view s, const std::vector<std::string>& values) {
  return std::find(values.begin(), values.end(), s) != values.end();
}

std::string AnsiFromBuffer(const void* buffer, int maxLen) {
  if (buffer == nullptr || maxLen <= 0) return {};
  const char* bytes = static_cast<const char*>(buffer);
  const void* zero = std::memchr(bytes, 0, static_cast<size_t>(maxLen));
  const size_t length = zero == nullptr ? static_cast<size_t>(maxLen)
                                        : static_cast<size_t>(static_cast<const char*>(zero) - bytes);
  return std::string(bytes, length);
}

}  // namespace orbelin
