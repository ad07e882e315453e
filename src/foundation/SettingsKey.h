#pragma once
// The per-user settings key of the program and the command line it was
// started with. Key paths use backslashes between their parts: they are names
// in the settings store, not file paths.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/ArrayOfStrings.h"

namespace orbelin {

// Looks up a text value under a key path of the current user's settings;
// nullopt when the key or the value does not exist.
using TVendorStore =
    std::function<std::optional<std::string>(const std::string& keyPath, const std::string& valueName)>;

// Installed by the application at start; without a store every read gives its default.
void SetVendorStore(TVendorStore store);

// "Halvane".
std::string VendorName();
// The program file's name without folder and extension, computed once.
std::string ProgramName();
// "Software\<vendor>\<subPath>".
std::string VendorKeyPath(std::string_view subPath);
// Where the program keeps its settings: VendorKeyPath(ProgramName()).
std::string ProgramKeyPath();
// path is "<key below the vendor key>\<value name>" (no backslash: just the
// value name, under the vendor key itself). The value's text, or defaultValue.
std::string ReadVendorString(std::string_view path, std::string_view defaultValue);

// Records the command line; call at start. Without it the elements come from
// /proc/self/cmdline, element 0 being the path of /proc/self/exe.
void SetCommandLine(int argc, const char* const* argv);
// This process's command line as the system records it, element 0 being the
// path of /proc/self/exe.
TArrayOfStrings ProcessCommandLine();
// Command-line element i (0 = the program's path); "" at or beyond their number.
std::string CommandLineParam(int i);
// Element i with "%name%" references replaced by the user's values under
// "Software\<vendor>\Variables", and "%%" turned into "%". A reference counts
// only when a backslash follows it later in the text.
std::string ExpandedParamStr(int i);

}  // namespace orbelin
