#pragma once
// The registry of file classes: which kinds of file the program reads, with a
// description and the extensions of each. The reader framework fills it.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ArrayOfStrings.h"

namespace orbelin {

// An opaque identity chosen by the registering code (the reader framework
// passes the address of its reader's static descriptor).
using TFileClass = const void*;

class TFileClasses {
public:
  struct tFileClassData {
    TFileClass FileClass = nullptr;
    std::string Description;
    // Without the dot, as registered.
    TArrayOfStrings Extensions;
  };

  std::vector<tFileClassData> Items;
  // How extensions compare; when false, the case of A-Z is ignored.
  bool CaseSensitive = false;

  virtual ~TFileClasses() = default;

  // Adds the class or extends its entry. The first non-empty description
  // stays. extensions is a ";"-separated list; an extension the entry already
  // lists ends the list, and those after it are not added. Always true.
  bool Register(TFileClass fileClass, std::string_view description, std::string_view extensions);
  // Position of the class's entry in Items, -1 when absent.
  int IndexOfClass(TFileClass fileClass) const;
};

// The process-wide registry, created on first use and freed with the auto-release pool.
TFileClasses& FileClasses();

}  // namespace orbelin
