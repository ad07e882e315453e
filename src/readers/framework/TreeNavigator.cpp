#include "readers/framework/TreeNavigator.h"

#include <exception>

namespace orbelin {

namespace {

template <class T, class Read>
T ReadOr(Read read, T defaultValue) {
  try {
    return read();
  } catch (const std::exception&) {
    return defaultValue;
  }
}

}  // namespace

std::string TTreeNavigator::ReadStringDef(const std::string& name, const std::string& defaultValue) {
  return ReadOr<std::string>([&] { return ReadString(name); }, defaultValue);
}

bool TTreeNavigator::ReadBooleanDef(const std::string& name, bool defaultValue) {
  return ReadOr<bool>([&] { return ReadBoolean(name); }, defaultValue);
}

int64_t TTreeNavigator::ReadInt64Def(const std::string& name, int64_t defaultValue) {
  return ReadOr<int64_t>([&] { return ReadInt64(name); }, defaultValue);
}

uint64_t TTreeNavigator::ReadUInt64Def(const std::string& name, uint64_t defaultValue) {
  return ReadOr<uint64_t>([&] { return ReadUInt64(name); }, defaultValue);
}

double TTreeNavigator::ReadFloatDef(const std::string& name, double defaultValue) {
  return ReadOr<double>([&] { return ReadFloat(name); }, defaultValue);
}

bool TTreeNavigator::EnterPath(std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    const std::string child(name);
    if (!HasChild(child)) return false;
    EnterChild(child);
  }
  return true;
}

}  // namespace orbelin
