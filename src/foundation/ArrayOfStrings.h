#pragma once
// An ordered list of texts with splitting, trimming and joining.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orbelin {

class TArrayOfStrings {
public:
  TArrayOfStrings() = default;
  TArrayOfStrings(std::initializer_list<std::string> values) : items_(values) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // No range check; the caller keeps 0 <= i < Count.
  const std::string& Items(int i) const { return items_[static_cast<size_t>(i)]; }
  std::string& Items(int i) { return items_[static_cast<size_t>(i)]; }
  const std::string& operator[](int i) const { return Items(i); }
  std::string& operator[](int i) { return Items(i); }
  const std::vector<std::string>& Values() const { return items_; }

  void SetCount(int n) { items_.resize(n < 0 ? 0 : static_cast<size_t>(n)); }
  void Clear() { items_.clear(); }
  int Add(std::string value);

  // Exact, and ignoring the case of A-Z; the from rules of the integer arrays.
  int IndexOf(std::string_view value, int from = 0) const;
  int IndexOfText(std::string_view value, int from = 0) const;

  // Replaces the contents by values in order; skipEmpty leaves out empty texts.
  void FromArray(const std::vector<std::string>& values, bool skipEmpty = false);
  // Appends every element to list, reserving room for all of them first.
  void AppendToStrings(std::vector<std::string>& list) const;
  void ToStrings(std::vector<std::string>& list) const;

  // Sum of the element lengths in bytes.
  size_t TotalLength() const;

  // Clear, then AppendSplit.
  int Split(std::string_view text, char delimiter, bool quoteAware = false);
  // Appends the parts of text between delimiters and returns the new Count.
  // With quoteAware, a delimiter inside '...' or "..." does not split (an
  // unclosed quote runs to the end); the quotes stay in the parts. The part
  // after the last delimiter is always added, even when empty.
  int AppendSplit(std::string_view text, char delimiter, bool quoteAware = false);

  // Removes leading and trailing characters up to and including the space.
  void TrimAll();
  // Drops empty elements, keeping the order; returns how many were dropped.
  int RemoveEmpty();

  // The n elements from from on with delimiter between them. A negative from
  // becomes 0; n is cut to the elements there are; nothing to join gives "".
  std::string Join(std::string_view delimiter, int from, int n) const;
  std::string Join(char delimiter, int from, int n) const;
  std::string JoinAll(std::string_view delimiter) const;
  std::string JoinAll(char delimiter) const;

private:
  std::vector<std::string> items_;
};

}  // namespace orbelin
