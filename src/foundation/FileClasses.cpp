#include "foundation/FileClasses.h"

#include "foundation/AutoReleasePool.h"

namespace orbelin {

bool TFileClasses::Register(TFileClass fileClass, std::string_view description,
                            std::string_view extensions) {
  int index = IndexOfClass(fileClass);
  if (index < 0) {
    Items.push_back({fileClass, std::string(), TArrayOfStrings()});
    index = static_cast<int>(Items.size()) - 1;
  }
  tFileClassData& entry = Items[static_cast<size_t>(index)];
  if (entry.Description.empty()) entry.Description = description;
  if (extensions.empty()) return true;

  TArrayOfStrings parts;
  parts.Split(extensions, ';', true);
  parts.TrimAll();
  parts.RemoveEmpty();
  for (const std::string& part : parts.Values()) {
    const int listed = CaseSensitive ? entry.Extensions.IndexOf(part) : entry.Extensions.IndexOfText(part);
    if (listed >= 0) break;
    entry.Extensions.Add(part);
  }
  return true;
}

int TFileClasses::IndexOfClass(TFileClass fileClass) const {
  for (size_t i = 0; i < Items.size(); ++i) {
    if (Items[i].FileClass == fileClass) return static_cast<int>(i);
  }
  return -1;
}

TFileClasses& FileClasses() {
  static TFileClasses* const registry = AutoReleasePool().Add(new TFileClasses);
  return *registry;
}

}  // namespace orbelin
