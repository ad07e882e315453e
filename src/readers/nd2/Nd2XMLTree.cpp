#include "readers/nd2/Nd2XMLTree.h"

#include <charconv>
#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"

namespace orbelin {

namespace {

constexpr const char* kUnnamed = "no_name";

[[noreturn]] void RaiseNotA(pugi::xml_node node, const char* kind) {
  RaiseErrorFmt<ESciImageReaderError>("\"%s\" is not a %s.", node.name(), kind);
}

bool IsElement(pugi::xml_node node) { return node.type() == pugi::node_element; }

int ElementCount(pugi::xml_node node) {
  int count = 0;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (IsElement(child)) ++count;
  return count;
}

pugi::xml_node ElementAt(pugi::xml_node node, int index) {
  if (index < 0) return {};
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (!IsElement(child)) continue;
    if (index-- == 0) return child;
  }
  return {};
}

// The "runtype" of a data node; raises for a structure.
std::string RunType(pugi::xml_node node) {
  const pugi::xml_attribute type = node.attribute("runtype");
  if (!type) RaiseErrorFmt<ESciImageReaderError>("\"%s\" is not a data node.", node.name());
  return type.value();
}

std::string ValueText(pugi::xml_node node) {
  const pugi::xml_attribute value = node.attribute("value");
  if (!value) RaiseErrorFmt<ESciImageReaderError>("Cannot find value of \"%s\".", node.name());
  return value.value();
}

template <class T>
T ParseNumber(pugi::xml_node node, const std::string& text, const char* kind) {
  T value{};
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) RaiseNotA(node, kind);
  return value;
}

bool IsSignedType(const std::string& type) { return type == "lx_int32" || type == "lx_int64"; }
bool IsUnsignedType(const std::string& type) { return type == "lx_uint32" || type == "lx_uint64"; }

}  // namespace

void TND2XMLTree::Load(TStream& stream, int64_t size, int64_t position) {
  document_.reset();
  current_ = pugi::xml_node();
  marked_ = pugi::xml_node();
  if (size < 0 || position < 0 || position > stream.Size() || size > stream.Size() - position)
    RaiseError<EReadError>("Stream read error");
  std::string text(static_cast<size_t>(size), '\0');
  if (stream.ReadAt(position, text.data(), text.size()) != text.size()) RaiseError<EReadError>("Stream read error");
  auto document = std::make_unique<pugi::xml_document>();
  document->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
  if (!document->document_element()) RaiseError<ESciImageReaderError>("Cannot find the root node of an XML object.");
  document_ = std::move(document);
  GoToRoot();
}

pugi::xml_node TND2XMLTree::CurrentNode() const {
  if (!current_) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  return current_;
}

pugi::xml_node TND2XMLTree::FindChild(const std::string& name, bool last) const {
  const pugi::xml_node node = CurrentNode();
  pugi::xml_node found;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (!IsElement(child) || name != child.name()) continue;
    found = child;
    if (!last) break;
  }
  return found;
}

pugi::xml_node TND2XMLTree::RequireChild(const std::string& name) const {
  const pugi::xml_node child = FindChild(name, false);
  if (!child) RaiseErrorFmt<ESciImageReaderError>("\"%s\" not found.", name.c_str());
  return child;
}

bool TND2XMLTree::IsWrapper(pugi::xml_node node) {
  const pugi::xml_node parent = node.parent();
  return IsElement(node) && IsElement(parent) && ElementCount(parent) == 1 && std::strcmp(node.name(), kUnnamed) == 0 &&
         ElementCount(node) > 0;
}

void TND2XMLTree::StepInto(pugi::xml_node node) {
  current_ = node;
  if (ElementCount(node) == 1) {
    const pugi::xml_node only = ElementAt(node, 0);
    if (IsWrapper(only)) current_ = only;
  }
}

int TND2XMLTree::ChildCount() { return ElementCount(CurrentNode()); }

std::string TND2XMLTree::ChildName(int index) {
  const pugi::xml_node child = ElementAt(CurrentNode(), index);
  if (!child) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  return child.name();
}

std::string TND2XMLTree::ValueString(pugi::xml_node node) const {
  if (RunType(node) != "CLxStringW") RaiseNotA(node, "string");
  return ValueText(node);
}

bool TND2XMLTree::ValueBoolean(pugi::xml_node node) const {
  if (RunType(node) != "bool") RaiseNotA(node, "boolean");
  const std::string text = ValueText(node);
  if (text == "true" || text == "1") return true;
  if (text == "false" || text == "0") return false;
  RaiseNotA(node, "boolean");
}

int64_t TND2XMLTree::ValueSigned(pugi::xml_node node) const {
  const std::string type = RunType(node);
  if (IsUnsignedType(type)) {
    Report(FormatText("\"%s\" is not signed.", node.name()));
    return static_cast<int64_t>(ParseNumber<uint64_t>(node, ValueText(node), "integer"));
  }
  if (!IsSignedType(type)) RaiseNotA(node, "integer");
  return ParseNumber<int64_t>(node, ValueText(node), "integer");
}

uint64_t TND2XMLTree::ValueUnsigned(pugi::xml_node node) const {
  const std::string type = RunType(node);
  if (IsSignedType(type)) {
    Report(FormatText("\"%s\" is signed.", node.name()));
    return static_cast<uint64_t>(ParseNumber<int64_t>(node, ValueText(node), "integer"));
  }
  if (!IsUnsignedType(type)) RaiseNotA(node, "integer");
  return ParseNumber<uint64_t>(node, ValueText(node), "integer");
}

int64_t TND2XMLTree::ValueInteger(pugi::xml_node node) const {
  const std::string type = RunType(node);
  if (IsSignedType(type)) return ParseNumber<int64_t>(node, ValueText(node), "integer");
  if (IsUnsignedType(type)) return static_cast<int64_t>(ParseNumber<uint64_t>(node, ValueText(node), "integer"));
  RaiseNotA(node, "integer");
}

double TND2XMLTree::ValueFloat(pugi::xml_node node) const {
  const std::string type = RunType(node);
  if (type != "double" && type != "single") RaiseNotA(node, "float");
  return ParseNumber<double>(node, ValueText(node), "float");
}

std::string TND2XMLTree::AsString() { return ValueString(CurrentNode()); }
bool TND2XMLTree::AsBoolean() { return ValueBoolean(CurrentNode()); }
int64_t TND2XMLTree::AsInt64() { return ValueSigned(CurrentNode()); }
uint64_t TND2XMLTree::AsUInt64() { return ValueUnsigned(CurrentNode()); }
double TND2XMLTree::AsFloat() { return ValueFloat(CurrentNode()); }

std::string TND2XMLTree::ReadString(const std::string& name) { return ValueString(RequireChild(name)); }
bool TND2XMLTree::ReadBoolean(const std::string& name) { return ValueBoolean(RequireChild(name)); }
int64_t TND2XMLTree::ReadInt64(const std::string& name) { return ValueSigned(RequireChild(name)); }
uint64_t TND2XMLTree::ReadUInt64(const std::string& name) { return ValueUnsigned(RequireChild(name)); }
double TND2XMLTree::ReadFloat(const std::string& name) { return ValueFloat(RequireChild(name)); }
int64_t TND2XMLTree::ReadInteger(const std::string& name) { return ValueInteger(RequireChild(name)); }

std::string TND2XMLTree::ReadStringDef(const std::string& name, const std::string& defaultValue) {
  return HasChild(name) ? ReadString(name) : defaultValue;
}
bool TND2XMLTree::ReadBooleanDef(const std::string& name, bool defaultValue) {
  return HasChild(name) ? ReadBoolean(name) : defaultValue;
}
int64_t TND2XMLTree::ReadInt64Def(const std::string& name, int64_t defaultValue) {
  return HasChild(name) ? ReadInt64(name) : defaultValue;
}
uint64_t TND2XMLTree::ReadUInt64Def(const std::string& name, uint64_t defaultValue) {
  return HasChild(name) ? ReadUInt64(name) : defaultValue;
}
double TND2XMLTree::ReadFloatDef(const std::string& name, double defaultValue) {
  return HasChild(name) ? ReadFloat(name) : defaultValue;
}

bool TND2XMLTree::HasChild(const std::string& name) { return current_ && FindChild(name, false); }

void TND2XMLTree::EnterChild(const std::string& name) { StepInto(RequireChild(name)); }

void TND2XMLTree::EnterChildAt(int index) {
  const pugi::xml_node child = ElementAt(CurrentNode(), index);
  if (!child) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  StepInto(child);
}

void TND2XMLTree::Leave() {
  const pugi::xml_node from = CurrentNode();
  pugi::xml_node parent = from.parent();
  if (!IsElement(parent)) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", from.name());
  if (IsWrapper(from)) {
    const pugi::xml_node grandParent = parent.parent();
    if (!IsElement(grandParent)) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", parent.name());
    parent = grandParent;
  }
  current_ = parent;
}

void TND2XMLTree::GoToRoot() {
  if (!document_) RaiseError<ESciImageReaderError>("XML is not loaded.");
  StepInto(document_->document_element());
}

bool TND2XMLTree::AtRoot() { return document_ && current_ == document_->document_element(); }
void TND2XMLTree::Mark() { marked_ = current_; }
void TND2XMLTree::ReturnToMark() { current_ = marked_; }

void TND2XMLTree::EnterList(const std::string& name) { current_ = RequireChild(name); }

void TND2XMLTree::EnterLastList(const std::string& name) {
  const pugi::xml_node child = FindChild(name, true);
  if (!child) RaiseErrorFmt<ESciImageReaderError>("\"%s\" not found.", name.c_str());
  current_ = child;
}

void TND2XMLTree::EnterUnnamed() { EnterList(kUnnamed); }
void TND2XMLTree::EnterLastUnnamed() { EnterLastList(kUnnamed); }

void TND2XMLTree::LeaveList() {
  const pugi::xml_node from = CurrentNode();
  const pugi::xml_node parent = from.parent();
  if (!IsElement(parent)) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", from.name());
  current_ = parent;
}

std::vector<bool> TND2XMLTree::ReadItemValid(int count) {
  std::vector<bool> flags(static_cast<size_t>(count > 0 ? count : 0), true);
  if (!HasChild("pItemValid")) return flags;
  const pugi::xml_node valid = RequireChild("pItemValid");
  for (size_t j = 0; j < flags.size(); ++j) {
    const pugi::xml_node item = valid.child(FormatText("_%.2d", static_cast<int>(j)).c_str());
    if (!item) continue;
    const std::string text = item.attribute("value").value();
    flags[j] = !(text == "false" || text == "0");
  }
  return flags;
}

}  // namespace orbelin
