#include "foundation/SettingsKey.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "foundation/ArrayOfStrings.h"
#include "foundation/FileBaseName.h"
#include "foundation/StringHelpers.h"

namespace orbelin {
namespace {

TVendorStore& VendorStore() {
  static TVendorStore store;
  return store;
}

struct CommandLine {
  bool read = false;
  TArrayOfStrings elements;
};

CommandLine& TheCommandLine() {
  static CommandLine commandLine;
  return commandLine;
}

}  // namespace

TArrayOfStrings ProcessCommandLine() {
  TArrayOfStrings elements;
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!bytes.empty()) {
    // Elements are zero-terminated, the last one included.
    elements.Split(std::string_view(bytes).substr(0, bytes.size() - (bytes.back() == '\0' ? 1 : 0)),
                   '\0');
  }
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    if (elements.Count() == 0) elements.Add(exe.string());
    else elements[0] = exe.string();
  }
  return elements;
}

void SetVendorStore(TVendorStore store) { VendorStore() = std::move(store); }

std::string VendorName() { return "Halvane"; }

std::string ProgramName() {
  static const std::string name = FileBaseName(ExpandedParamStr(0));
  return name;
}

std::string VendorKeyPath(std::string_view subPath) {
  std::string path = "Software\\" + VendorName() + "\\";
  path += subPath;
  return path;
}

std::string ProgramKeyPath() { return VendorKeyPath(ProgramName()); }

std::string ReadVendorString(std::string_view path, std::string_view defaultValue) {
  const TVendorStore& store = VendorStore();
  if (!store) return std::string(defaultValue);
  const int split = LastPosChar(path, '\\');
  const std::string keyPath = VendorKeyPath(split < 0 ? std::string_view() : path.substr(0, split));
  const std::string valueName(path.substr(static_cast<size_t>(split + 1)));
  std::optional<std::string> value = store(keyPath, valueName);
  return value ? std::move(*value) : std::string(defaultValue);
}

void SetCommandLine(int argc, const char* const* argv) {
  CommandLine& commandLine = TheCommandLine();
  commandLine.elements.Clear();
  for (int i = 0; i < argc; ++i) commandLine.elements.Add(argv[i] != nullptr ? argv[i] : "");
  commandLine.read = true;
}

std::string CommandLineParam(int i) {
  CommandLine& commandLine = TheCommandLine();
  if (!commandLine.read) {
    commandLine.elements = ProcessCommandLine();
    commandLine.read = true;
  }
  if (i < 0 || i >= commandLine.elements.Count()) return {};
  return commandLine.elements[i];
}

std::string ExpandedParamStr(int i) {
  std::string s = CommandLineParam(i);
  int p = 0;
  while (p < static_cast<int>(s.size())) {
    const int b = PosCharFrom(s, '%', p);
    if (b < 0) break;
    const int c = PosCharFrom(s, '%', b + 1);
    if (c < 0) break;
    if (c == b + 1) {
      DeleteAt(s, c, 1);
      p = b + 1;
      continue;
    }
    const int backslash = PosCharFrom(s, '\\', b + 1);
    if (backslash < 0 || backslash < c) {
      // Not a reference; the closing "%" may open the next one.
      p = c;
      continue;
    }
    const std::string name = CopyRange(s, b + 1, c - b - 1);
    const std::string value = ReadVendorString("Variables\\" + name, "");
    s.replace(static_cast<size_t>(b), static_cast<size_t>(c - b + 1), value);
    p = b + static_cast<int>(value.size());
  }
  return s;
}

}  // namespace orbelin
