#include "readers/framework/ReaderRegistry.h"

#include <atomic>
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

std::atomic<const TReaderClass*> fallbackClass{nullptr};

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

void SetFallbackReaderClass(const TReaderClass* readerClass) { fallbackClass.store(readerClass); }

const TReaderClass* ReaderClassForFile(const std::string& fileName) {
  RegisterReaderClasses();
  std::string extension = std::filesystem::path(fileName).extension().string();
  if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
  // Every entry of the registry is a reader class, also those registered from
  // outside this library (the common pictures, which need Qt).
  const TFileClasses& registry = FileClasses();
  for (const TFileClasses::tFileClassData& item : registry.Items) {
    if (extension.empty()) break;
    const int found = registry.CaseSensitive ? item.Extensions.IndexOf(extension) : item.Extensions.IndexOfText(extension);
    if (found >= 0) return static_cast<const TReaderClass*>(item.FileClass);
  }
  const TReaderClass* fallback = fallbackClass.load();
  if (fallback != nullptr && fallback->CanRead && fallback->CanRead(fileName) >= 1) return fallback;
  return nullptr;
}

std::unique_ptr<TSciImageReader> CreateReaderForFile(const std::string& fileName) {
  const TReaderClass* readerClass = ReaderClassForFile(fileName);
  return readerClass ? readerClass->Create() : nullptr;
}

}  // namespace orbelin
