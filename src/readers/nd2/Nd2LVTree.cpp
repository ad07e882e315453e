#include "readers/nd2/Nd2LVTree.h"

#include <cstring>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "foundation/Unicode.h"

namespace orbelin {

namespace {

enum : uint8_t {
  lvBoolean = 1,
  lvInt32 = 2,
  lvUInt32 = 3,
  lvInt64 = 4,
  lvUInt64 = 5,
  lvDouble = 6,
  lvOpaque = 7,
  lvString = 8,
  lvByteArray = 9,
  lvLevel = 10,
  lvRelativeLevel = 11,
};

// Nested levels deeper than this are not metadata any ND2 writer produces; the
// limit keeps a forged chunk whose items point back at their level from
// recursing without end.
constexpr int kMaxDepth = 256;

bool IsLevel(uint8_t type) { return type == lvLevel || type == lvRelativeLevel; }

std::string Hex6(int64_t position) { return FormatText("%.6llX", static_cast<unsigned long long>(position)); }

[[noreturn]] void RaiseNotA(const std::string& name, const char* kind) {
  RaiseErrorFmt<ESciImageReaderError>("\"%s\" is not a %s.", name.c_str(), kind);
}

}  // namespace

// Parses the nodes of one chunk held in memory; positions are file offsets,
// the chunk occupies [base, end).
class TND2LVTree::TParser {
public:
  TParser(TND2LVTree& tree, const std::vector<uint8_t>& data, int64_t base)
      : tree_(tree), data_(data), base_(base), end_(base + static_cast<int64_t>(data.size())) {
    // Every node but the root needs a table entry of 8 bytes and a header of at
    // least 2, so a chunk holds at most this many distinct nodes; more means
    // items are shared or cyclic.
    maxNodes_ = static_cast<size_t>(data.size() / 10) + 1;
  }

  void Parse(int64_t position, int32_t parent, int depth) {
    auto& nodes = tree_.nodes_;
    const auto self = static_cast<int32_t>(nodes.size());
    nodes.emplace_back();
    nodes.back().Parent = parent;
    int64_t at = position;
    const uint8_t type = Byte(at);
    const uint8_t nameLength = Byte(at + 1);
    at += 2;
    std::string name;
    if (nameLength > 0) {
      std::u16string wide(static_cast<size_t>(nameLength - 1), u'\0');
      Need(at, 2 * static_cast<int64_t>(nameLength));
      if (!wide.empty()) std::memcpy(wide.data(), Ptr(at), wide.size() * 2);
      at += 2 * static_cast<int64_t>(nameLength);
      name = Utf16ToUtf8(wide);
    }
    nodes[self].Name = name;
    nodes[self].NodeType = type;
    switch (type) {
      case lvBoolean:
        nodes[self].Value = Byte(at) != 0 ? 1 : 0;
        break;
      case lvInt32: {
        int32_t value = 0;
        Copy(at, &value, 4);
        nodes[self].Value = value;
        break;
      }
      case lvUInt32: {
        uint32_t value = 0;
        Copy(at, &value, 4);
        nodes[self].Value = value;
        break;
      }
      case lvInt64:
      case lvUInt64:
      case lvDouble:
      case lvOpaque:
        Copy(at, &nodes[self].Value, 8);
        break;
      case lvString:
        nodes[self].Text = ReadText(at);
        break;
      case lvByteArray: {
        uint64_t count = 0;
        Copy(at, &count, 8);
        at += 8;
        if (count > static_cast<uint64_t>(end_ - at)) RaiseError<EReadError>("Stream read error");
        nodes[self].Bytes.assign(Ptr(at), Ptr(at) + count);
        break;
      }
      case lvLevel:
      case lvRelativeLevel:
        ParseLevel(self, type, position, at, name, depth);
        break;
      default:
        tree_.Report(FormatText("Skip unknown data type \"%s\" at %s.", name.c_str(), Hex6(position).c_str()));
        break;
    }
  }

private:
  void ParseLevel(int32_t self, uint8_t type, int64_t position, int64_t at, const std::string& name, int depth) {
    auto& nodes = tree_.nodes_;
    nodes[self].Value = -1;
    uint32_t count = 0;
    uint64_t stored = 0;
    Copy(at, &count, 4);
    Copy(at + 4, &stored, 8);
    const std::string where = FormatText("Some thing is wrong when reading level \"%s\" at %s.", name.c_str(),
                                         Hex6(position).c_str());
    // The table must lie inside the chunk: T + 8n <= end.
    int64_t table = 0;
    bool tableInside = false;
    if (type == lvRelativeLevel) {
      if (stored <= static_cast<uint64_t>(end_ - position)) {
        table = position + static_cast<int64_t>(stored);
        tableInside = true;
      }
    } else if (stored >= static_cast<uint64_t>(base_) && stored <= static_cast<uint64_t>(end_)) {
      table = static_cast<int64_t>(stored);
      tableInside = true;
    }
    if (!tableInside || static_cast<uint64_t>(count) > static_cast<uint64_t>(end_ - table) / 8) {
      tree_.Report(where);
      return;
    }
    if (count > 0 && depth >= kMaxDepth) {
      tree_.Report(where);
      return;
    }
    int32_t previous = -1;
    for (uint32_t i = 0; i < count; ++i) {
      uint64_t item = 0;
      Copy(table + 8 * static_cast<int64_t>(i), &item, 8);
      int64_t itemPosition = -1;
      if (type == lvRelativeLevel) {
        if (item < static_cast<uint64_t>(end_ - position)) itemPosition = position + static_cast<int64_t>(item);
      } else if (item >= static_cast<uint64_t>(base_) && item < static_cast<uint64_t>(end_)) {
        itemPosition = static_cast<int64_t>(item);
      }
      if (itemPosition < 0 || nodes.size() >= maxNodes_) {
        tree_.Report(where);
        if (itemPosition >= 0) return;  // too many nodes: the rest is shared or cyclic
        continue;
      }
      const auto child = static_cast<int32_t>(nodes.size());
      if (previous < 0) {
        nodes[self].Value = child;
      } else {
        nodes[previous].NextSibling = child;
      }
      Parse(itemPosition, self, depth + 1);
      nodes[child].PrevSibling = previous;
      previous = child;
    }
  }

  void Need(int64_t at, int64_t count) const {
    if (at < base_ || count < 0 || count > end_ - at) RaiseError<EReadError>("Stream read error");
  }
  const uint8_t* Ptr(int64_t at) const { return data_.data() + (at - base_); }
  uint8_t Byte(int64_t at) const {
    Need(at, 1);
    return *Ptr(at);
  }
  void Copy(int64_t at, void* out, int64_t count) const {
    Need(at, count);
    std::memcpy(out, Ptr(at), static_cast<size_t>(count));
  }
  // UTF-16 text up to a zero code unit (or the end of the chunk).
  std::string ReadText(int64_t at) const {
    std::u16string wide;
    while (at + 2 <= end_) {
      char16_t unit = 0;
      std::memcpy(&unit, Ptr(at), 2);
      at += 2;
      if (unit == 0) break;
      wide.push_back(unit);
    }
    return Utf16ToUtf8(wide);
  }

  TND2LVTree& tree_;
  const std::vector<uint8_t>& data_;
  int64_t base_;
  int64_t end_;
  size_t maxNodes_ = 0;
};

void TND2LVTree::Load(TStream& stream, int64_t size, int64_t position) {
  marked_ = -1;
  current_ = -1;
  nodes_.clear();
  if (size < 2 || position < 0 || position > stream.Size() || size > stream.Size() - position)
    RaiseError<EReadError>("Stream read error");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (stream.ReadAt(position, data.data(), data.size()) != data.size()) RaiseError<EReadError>("Stream read error");
  try {
    TParser(*this, data, position).Parse(position, -1, 0);
  } catch (...) {
    nodes_.clear();
    throw;
  }
  nodes_.shrink_to_fit();
  GoToRoot();
}

const TND2LVTree::TLVNode& TND2LVTree::NodeAt(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) RaiseError<Exception>("Node doesn't exist.");
  return nodes_[static_cast<size_t>(index)];
}

const TND2LVTree::TLVNode& TND2LVTree::CurrentLevel() {
  if (current_ < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  const TLVNode& node = NodeAt(current_);
  if (!IsLevel(node.NodeType)) RaiseNotA(node.Name, "tree node");
  return node;
}

int32_t TND2LVTree::FindChild(const std::string& name, bool last) {
  const TLVNode& level = CurrentLevel();
  int32_t found = -1;
  for (int32_t child = static_cast<int32_t>(level.Value); child >= 0; child = NodeAt(child).NextSibling) {
    if (NodeAt(child).Name == name) {
      found = child;
      if (!last) break;
    }
  }
  return found;
}

int32_t TND2LVTree::RequireChild(const std::string& name) {
  const int32_t child = FindChild(name, false);
  if (child < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" not found.", name.c_str());
  return child;
}

bool TND2LVTree::IsWrapper(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  return n.Parent >= 0 && n.Name.empty() && IsLevel(n.NodeType) && n.PrevSibling < 0 && n.NextSibling < 0;
}

void TND2LVTree::StepInto(int32_t node) {
  current_ = node;
  const TLVNode& n = NodeAt(node);
  if (IsLevel(n.NodeType) && n.Value >= 0 && IsWrapper(static_cast<int32_t>(n.Value)))
    current_ = static_cast<int32_t>(n.Value);
}

int TND2LVTree::ChildCount() {
  if (current_ < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  const TLVNode& node = NodeAt(current_);
  if (!IsLevel(node.NodeType)) return 0;
  int count = 0;
  for (int32_t child = static_cast<int32_t>(node.Value); child >= 0; child = NodeAt(child).NextSibling) ++count;
  return count;
}

std::string TND2LVTree::ChildName(int index) {
  if (current_ < 0 || index < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  const TLVNode& node = NodeAt(current_);
  int32_t child = IsLevel(node.NodeType) ? static_cast<int32_t>(node.Value) : -1;
  for (int i = 0; i < index && child >= 0; ++i) child = NodeAt(child).NextSibling;
  if (child < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  return NodeAt(child).Name;
}

std::string TND2LVTree::ValueString(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType != lvString) RaiseNotA(n.Name, "string");
  return n.Text;
}

bool TND2LVTree::ValueBoolean(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType != lvBoolean) RaiseNotA(n.Name, "boolean");
  return n.Value != 0;
}

int64_t TND2LVTree::ValueSigned(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType == lvUInt32 || n.NodeType == lvUInt64) {
    Report(FormatText("\"%s\" is not signed.", n.Name.c_str()));
  } else if (n.NodeType != lvInt32 && n.NodeType != lvInt64) {
    RaiseNotA(n.Name, "integer");
  }
  return n.Value;
}

uint64_t TND2LVTree::ValueUnsigned(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType == lvInt32 || n.NodeType == lvInt64) {
    Report(FormatText("\"%s\" is signed.", n.Name.c_str()));
  } else if (n.NodeType != lvUInt32 && n.NodeType != lvUInt64) {
    RaiseNotA(n.Name, "integer");
  }
  return static_cast<uint64_t>(n.Value);
}

int64_t TND2LVTree::ValueInteger(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType < lvInt32 || n.NodeType > lvUInt64) RaiseNotA(n.Name, "integer");
  return n.Value;
}

double TND2LVTree::ValueFloat(int32_t node) const {
  const TLVNode& n = NodeAt(node);
  if (n.NodeType != lvDouble) RaiseNotA(n.Name, "float");
  double value = 0;
  std::memcpy(&value, &n.Value, 8);
  return value;
}

namespace {
int32_t Existing(int32_t current) {
  if (current < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  return current;
}
}  // namespace

std::string TND2LVTree::AsString() { return ValueString(Existing(current_)); }
bool TND2LVTree::AsBoolean() { return ValueBoolean(Existing(current_)); }
int64_t TND2LVTree::AsInt64() { return ValueSigned(Existing(current_)); }
uint64_t TND2LVTree::AsUInt64() { return ValueUnsigned(Existing(current_)); }
double TND2LVTree::AsFloat() { return ValueFloat(Existing(current_)); }

std::string TND2LVTree::ReadString(const std::string& name) { return ValueString(RequireChild(name)); }
bool TND2LVTree::ReadBoolean(const std::string& name) { return ValueBoolean(RequireChild(name)); }
int64_t TND2LVTree::ReadInt64(const std::string& name) { return ValueSigned(RequireChild(name)); }
uint64_t TND2LVTree::ReadUInt64(const std::string& name) { return ValueUnsigned(RequireChild(name)); }
double TND2LVTree::ReadFloat(const std::string& name) { return ValueFloat(RequireChild(name)); }
int64_t TND2LVTree::ReadInteger(const std::string& name) { return ValueInteger(RequireChild(name)); }

std::string TND2LVTree::ReadStringDef(const std::string& name, const std::string& defaultValue) {
  return HasChild(name) ? ReadString(name) : defaultValue;
}
bool TND2LVTree::ReadBooleanDef(const std::string& name, bool defaultValue) {
  return HasChild(name) ? ReadBoolean(name) : defaultValue;
}
int64_t TND2LVTree::ReadInt64Def(const std::string& name, int64_t defaultValue) {
  return HasChild(name) ? ReadInt64(name) : defaultValue;
}
uint64_t TND2LVTree::ReadUInt64Def(const std::string& name, uint64_t defaultValue) {
  return HasChild(name) ? ReadUInt64(name) : defaultValue;
}
double TND2LVTree::ReadFloatDef(const std::string& name, double defaultValue) {
  return HasChild(name) ? ReadFloat(name) : defaultValue;
}

bool TND2LVTree::HasChild(const std::string& name) {
  if (current_ < 0 || !IsLevel(NodeAt(current_).NodeType)) return false;
  return FindChild(name, false) >= 0;
}

void TND2LVTree::EnterChild(const std::string& name) { StepInto(RequireChild(name)); }

void TND2LVTree::EnterChildAt(int index) {
  if (current_ < 0 || index < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  const TLVNode& node = NodeAt(current_);
  int32_t child = IsLevel(node.NodeType) ? static_cast<int32_t>(node.Value) : -1;
  for (int i = 0; i < index && child >= 0; ++i) child = NodeAt(child).NextSibling;
  if (child < 0) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  StepInto(child);
}

void TND2LVTree::Leave() {
  const int32_t from = Existing(current_);
  const int32_t parent = NodeAt(from).Parent;
  if (parent < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", NodeAt(from).Name.c_str());
  if (!IsWrapper(from)) {
    current_ = parent;
    return;
  }
  const int32_t grandParent = NodeAt(parent).Parent;
  if (grandParent < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", NodeAt(parent).Name.c_str());
  current_ = grandParent;
}

void TND2LVTree::GoToRoot() {
  if (nodes_.empty()) RaiseError<ESciImageReaderError>("Node doesn't exists.");
  StepInto(0);
}

bool TND2LVTree::AtRoot() { return current_ == 0; }
void TND2LVTree::Mark() { marked_ = current_; }
void TND2LVTree::ReturnToMark() { current_ = marked_; }

void TND2LVTree::EnterList(const std::string& name) {
  const int32_t child = FindChild(name, false);
  if (child < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" not found.", name.c_str());
  current_ = child;
}

void TND2LVTree::EnterLastList(const std::string& name) {
  const int32_t child = FindChild(name, true);
  if (child < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" not found.", name.c_str());
  current_ = child;
}

void TND2LVTree::EnterUnnamed() { EnterList(std::string()); }
void TND2LVTree::EnterLastUnnamed() { EnterLastList(std::string()); }

void TND2LVTree::LeaveList() {
  const int32_t from = Existing(current_);
  const int32_t parent = NodeAt(from).Parent;
  if (parent < 0) RaiseErrorFmt<ESciImageReaderError>("\"%s\" has no parent node.", NodeAt(from).Name.c_str());
  current_ = parent;
}

std::vector<bool> TND2LVTree::ReadItemValid(int count) {
  std::vector<bool> flags(static_cast<size_t>(count > 0 ? count : 0), true);
  if (!HasChild("pItemValid")) return flags;
  const TLVNode& valid = NodeAt(RequireChild("pItemValid"));
  if (valid.NodeType != lvByteArray) RaiseNotA(valid.Name, "byte array");
  // A shorter array leaves the remaining items valid.
  for (size_t j = 0; j < flags.size() && j < valid.Bytes.size(); ++j) flags[j] = valid.Bytes[j] != 0;
  return flags;
}

}  // namespace orbelin
