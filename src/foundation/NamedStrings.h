#pragma once
// A list of name/value text pairs (the descriptive texts of a microscope file).
#include <string>
#include <string_view>
#include <vector>

namespace orbelin {

struct tNamedStrings {
  struct TPair {
    std::string Name;
    std::string Value;
  };

  // Its length is the capacity; only the first Count pairs are in use.
  std::vector<TPair> Pairs;
  int Count = 0;
  // Names compare exactly when set, ignoring the case of A-Z otherwise.
  bool CaseSensitive = false;

  // Position of the first pair with that name, -1 when none.
  int IndexOfName(std::string_view name) const;
  // Replaces the value of an existing pair or appends a new one; the capacity
  // grows in steps (64, 256, 1024 ... 262144, then by 262144) and never shrinks.
  void SetValue(std::string_view name, std::string_view value);

  int Capacity() const { return static_cast<int>(Pairs.size()); }
};

}  // namespace orbelin
