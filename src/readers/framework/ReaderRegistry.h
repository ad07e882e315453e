#pragma once
// The reader classes of the program: each registers with a description and
// its extensions in the foundation's file-class registry, and a file's
// extension chooses the class that reads it.
#include <memory>
#include <string>
#include <string_view>

#include "readers/framework/SciImageReader.h"

namespace orbelin {

// What the registry knows of a reader class; its address is the class's identity.
struct TReaderClass {
  const char* Name;
  int (*CanRead)(const std::string& fileName);
  std::unique_ptr<TSciImageReader> (*Create)();
};

// Adds the class with its description and ";"-separated extensions to FileClasses().
void RegisterReaderClass(const TReaderClass& readerClass, std::string_view description,
                         std::string_view extensions);
// Registers every reader class of the program; later calls do nothing.
void RegisterReaderClasses();
// The class asked, through its CanRead, about files whose extension no class
// claims (the common pictures); nullptr for none.
void SetFallbackReaderClass(const TReaderClass* readerClass);
// The class registered for the file's extension (case ignored), else the
// fallback class when it can read the file, else nullptr.
const TReaderClass* ReaderClassForFile(const std::string& fileName);
// A new reader of the class chosen by extension, nullptr when none; the file is not opened.
std::unique_ptr<TSciImageReader> CreateReaderForFile(const std::string& fileName);

}  // namespace orbelin
