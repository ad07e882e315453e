#include "readers/framework/ReaderRegistry.h"

#include <filesystem>
#include <mutex>

#include "foundation/FileClasses.h"
#include "foundation/StringHelpers.h"
#include "readers/czi/ZeissCziReader.h"
#include "readers/nd2/NikonNd2Reader.h"

namespace orbelin {

namespace {

struct TRegistration {
  const TReaderClass& (*Class)();
  const char* Description;
  const char* Extensions;
};

// One line per reader class, in the order they are offered.
const TRegistration kRegistrations[] = {
    {&NikonNd2ReaderClass, "Nikon ND2 files", "nd2"},
    {&ZeissCziReaderClass, "Zeiss CZI file", "czi"},
};

}  // namespace

void RegisterReaderClass(const TReaderClass& readerClass, std::string_view description,
                         std::string_view extensions) {
  FileClasses().Register(&readerClass, description, extensions);
}

void RegisterReaderClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const TRegistration& registration : kRegistrations)
      RegisterReaderClass(registration.Class(), registration.Description, registration.Extensions);
  });
}

const TReaderClass* ReaderClassForFile(const std::string& fileName) {
  RegisterReaderClasses();
  std::string extension = std::filesystem::path(fileName).extension().string();
  if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
  if (extension.empty()) return nullptr;
  const TFileClasses& registry = FileClasses();
  for (const TRegistration& registration : kRegistrations) {
    const TReaderClass& readerClass = registration.Class();
    const int index = registry.IndexOfClass(&readerClass);
    if (index < 0) continue;
    const TArrayOfStrings& extensions = registry.Items[static_cast<size_t>(index)].Extensions;
    const int found = registry.CaseSensitive ? extensions.IndexOf(extension) : extensions.IndexOfText(extension);
    if (found >= 0) return &readerClass;
  }
  return nullptr;
}

std::unique_ptr<TSciImageReader> CreateReaderForFile(const std::string& fileName) {
  const TReaderClass* readerClass = ReaderClassForFile(fileName);
  return readerClass ? readerClass->Create() : nullptr;
}

}  // namespace orbelin
