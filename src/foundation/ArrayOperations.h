#pragma once
// Index rules shared by the integer and object arrays (std::vector): a
// negative start counts back from the end (-1 = last element), an insert
// position beyond the end appends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace orbelin {

namespace detail {

// Negative positions count back from the end; below -size they become 0.
inline int FromEnd(int index, size_t size) {
  if (index >= 0) return index;
  const int64_t resolved = static_cast<int64_t>(size) + index;
  return resolved < 0 ? 0 : static_cast<int>(resolved);
}

}  // namespace detail

// The arrays never own the objects they point to.
template <class T>
using TObjects = std::vector<T*>;

// First position >= from holding value, -1 when none; from >= size gives -1.
template <class T, class V>
int IndexOf(const std::vector<T>& items, const V& value, int from = 0) {
  const int start = detail::FromEnd(from, items.size());
  for (size_t i = static_cast<size_t>(start); i < items.size(); ++i) {
    if (items[i] == value) return static_cast<int>(i);
  }
  return -1;
}

// Appends and returns the new position.
template <class T, class V>
int Add(std::vector<T>& items, V&& value) {
  items.push_back(std::forward<V>(value));
  return static_cast<int>(items.size()) - 1;
}

// Position of the first element equal to value; appends it when there is none.
template <class T, class V>
int AddUnique(std::vector<T>& items, const V& value) {
  const int found = IndexOf(items, value);
  return found >= 0 ? found : Add(items, value);
}

// Inserts before index and returns where the value went; beyond the end appends.
template <class T, class V>
int Insert(std::vector<T>& items, int index, V&& value) {
  const size_t at = std::min(static_cast<size_t>(detail::FromEnd(index, items.size())), items.size());
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::forward<V>(value));
  return static_cast<int>(at);
}

// Removes up to n elements from start on and returns how many went.
template <class T>
int Delete(std::vector<T>& items, int start, int n) {
  const size_t from = static_cast<size_t>(detail::FromEnd(start, items.size()));
  if (from >= items.size() || n <= 0) return 0;
  const size_t count = std::min(static_cast<size_t>(n), items.size() - from);
  const auto begin = items.begin() + static_cast<std::ptrdiff_t>(from);
  items.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
  return static_cast<int>(count);
}

// Resizes to n and sets element i to i.
inline void SetCountSequence(std::vector<int32_t>& items, int n) {
  items.resize(n < 0 ? 0 : static_cast<size_t>(n));
  std::iota(items.begin(), items.end(), 0);
}

}  // namespace orbelin
