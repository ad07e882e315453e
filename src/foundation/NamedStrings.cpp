#include "foundation/NamedStrings.h"

#include "foundation/StringHelpers.h"

namespace orbelin {
namespace {

size_t NextCapacity(size_t capacity) {
  for (size_t step : {64u, 256u, 1024u, 4096u, 16384u, 65536u, 262144u}) {
    if (capacity < step) return step;
  }
  return capacity + 262144;
}

}  // namespace

int tNamedStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count; ++i) {
    const std::string& candidate = Pairs[static_cast<size_t>(i)].Name;
    if (CaseSensitive ? candidate == name : SameText(candidate, name)) return i;
  }
  return -1;
}

void tNamedStrings::SetValue(std::string_view name, std::string_view value) {
  const int found = IndexOfName(name);
  if (found >= 0) {
    Pairs[static_cast<size_t>(found)].Value = value;
    return;
  }
  if (static_cast<size_t>(Count) >= Pairs.size()) Pairs.resize(NextCapacity(Pairs.size()));
  TPair& pair = Pairs[static_cast<size_t>(Count)];
  pair.Name = name;
  pair.Value = value;
  ++Count;
}

}  // namespace orbelin
