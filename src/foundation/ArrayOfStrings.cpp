#include "foundation/ArrayOfStrings.h"

#include <algorithm>

#include "foundation/ArrayOperations.h"
#include "foundation/StringHelpers.h"

namespace orbelin {
namespace {

constexpr size_t kSplitGrowth = 64;

std::string_view Trimmed(std::string_view text) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

int TArrayOfStrings::Add(std::string value) {
  items_.push_back(std::move(value));
  return Count() - 1;
}

int TArrayOfStrings::IndexOf(std::string_view value, int from) const {
  return orbelin::IndexOf(items_, value, from);
}

int TArrayOfStrings::IndexOfText(std::string_view value, int from) const {
  const int start = detail::FromEnd(from, items_.size());
  for (size_t i = static_cast<size_t>(start); i < items_.size(); ++i) {
    if (SameText(items_[i], value)) return static_cast<int>(i);
  }
  return -1;
}

void TArrayOfStrings::FromArray(const std::vector<std::string>& values, bool skipEmpty) {
  items_.clear();
  items_.reserve(values.size());
  for (const std::string& value : values) {
    if (!skipEmpty || !value.empty()) items_.push_back(value);
  }
}

void TArrayOfStrings::AppendToStrings(std::vector<std::string>& list) const {
  list.reserve(list.size() + items_.size());
  list.insert(list.end(), items_.begin(), items_.end());
}

void TArrayOfStrings::ToStrings(std::vector<std::string>& list) const {
  list.clear();
  AppendToStrings(list);
}

size_t TArrayOfStrings::TotalLength() const {
  size_t total = 0;
  for (const std::string& item : items_) total += item.size();
  return total;
}

int TArrayOfStrings::Split(std::string_view text, char delimiter, bool quoteAware) {
  Clear();
  return AppendSplit(text, delimiter, quoteAware);
}

int TArrayOfStrings::AppendSplit(std::string_view text, char delimiter, bool quoteAware) {
  // Room grows in whole steps of 64 elements, but by half the size at least,
  // so splitting a long text stays linear.
  const auto addPart = [this](std::string_view part) {
    if (items_.size() == items_.capacity()) {
      const size_t wanted = std::max(items_.size() + kSplitGrowth, items_.size() + items_.size() / 2);
      items_.reserve((wanted + kSplitGrowth - 1) / kSplitGrowth * kSplitGrowth);
    }
    items_.emplace_back(part);
  };
  size_t partStart = 0;
  size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (quoteAware && (c == '"' || c == '\'')) {
      const size_t close = text.find(c, at + 1);
      at = close == std::string_view::npos ? text.size() : close + 1;
      continue;
    }
    if (c == delimiter) {
      addPart(text.substr(partStart, at - partStart));
      partStart = at + 1;
    }
    ++at;
  }
  addPart(text.substr(partStart));
  items_.shrink_to_fit();
  return Count();
}

void TArrayOfStrings::TrimAll() {
  for (std::string& item : items_) {
    const std::string_view trimmed = Trimmed(item);
    if (trimmed.size() != item.size()) item = std::string(trimmed);
  }
}

int TArrayOfStrings::RemoveEmpty() {
  const auto kept = std::remove_if(items_.begin(), items_.end(),
                                   [](const std::string& item) { return item.empty(); });
  const int removed = static_cast<int>(items_.end() - kept);
  items_.erase(kept, items_.end());
  return removed;
}

std::string TArrayOfStrings::Join(std::string_view delimiter, int from, int n) const {
  if (from < 0) from = 0;
  if (from >= Count() || n <= 0) return {};
  n = std::min(n, Count() - from);
  if (n == 1) return items_[static_cast<size_t>(from)];
  const auto first = items_.begin() + from;
  const auto last = first + n;
  std::string joined;
  joined.reserve(TotalLength() + static_cast<size_t>(n - 1) * delimiter.size());
  for (auto item = first; item != last; ++item) {
    if (item != first) joined += delimiter;
    joined += *item;
  }
  return joined;
}

std::string TArrayOfStrings::Join(char delimiter, int from, int n) const {
  return Join(std::string_view(&delimiter, 1), from, n);
}

std::string TArrayOfStrings::JoinAll(std::string_view delimiter) const {
  return Join(delimiter, 0, Count());
}

std::string TArrayOfStrings::JoinAll(char delimiter) const { return Join(delimiter, 0, Count()); }

}  // namespace orbelin
