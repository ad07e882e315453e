#pragma once
// An ND2 metadata chunk in the binary "LV" encoding: a tree of typed values
// whose levels hold tables of item positions.
#include <cstdint>
#include <string>
#include <vector>

#include "readers/nd2/Nd2TreeNavigator.h"

namespace orbelin {

class TND2LVTree final : public TND2TreeNavigator {
public:
  struct TLVNode {
    std::string Name;
    std::string Text;             // type 8 value
    int32_t Parent = -1;
    int32_t PrevSibling = -1;
    int32_t NextSibling = -1;
    uint8_t NodeType = 0;
    std::vector<uint8_t> Bytes;   // type 9 value
    int64_t Value = 0;            // scalar bits; for a level the first child, -1 when none
  };
  using TLVNodes = std::vector<TLVNode>;

  using TND2TreeNavigator::TND2TreeNavigator;

  int ChildCount() override;
  std::string ChildName(int index) override;
  std::string AsString() override;
  bool AsBoolean() override;
  int64_t AsInt64() override;
  uint64_t AsUInt64() override;
  double AsFloat() override;
  std::string ReadString(const std::string& name) override;
  bool ReadBoolean(const std::string& name) override;
  int64_t ReadInt64(const std::string& name) override;
  uint64_t ReadUInt64(const std::string& name) override;
  double ReadFloat(const std::string& name) override;
  void Load(TStream& stream, int64_t size, int64_t position) override;
  bool HasChild(const std::string& name) override;
  void EnterChild(const std::string& name) override;
  void EnterChildAt(int index) override;
  void Leave() override;
  void GoToRoot() override;
  bool AtRoot() override;
  void Mark() override;
  void ReturnToMark() override;
  std::string ReadStringDef(const std::string& name, const std::string& defaultValue) override;
  bool ReadBooleanDef(const std::string& name, bool defaultValue) override;
  int64_t ReadInt64Def(const std::string& name, int64_t defaultValue) override;
  uint64_t ReadUInt64Def(const std::string& name, uint64_t defaultValue) override;
  double ReadFloatDef(const std::string& name, double defaultValue) override;
  int64_t ReadInteger(const std::string& name) override;

  void EnterList(const std::string& name) override;
  void EnterLastList(const std::string& name) override;
  void EnterUnnamed() override;
  void EnterLastUnnamed() override;
  void LeaveList() override;
  std::vector<bool> ReadItemValid(int count) override;

  const TLVNodes& Nodes() const { return nodes_; }

private:
  class TParser;

  const TLVNode& NodeAt(int32_t index) const;
  const TLVNode& CurrentLevel();
  // Child of the current level by name, first or last of that name; -1 when none.
  int32_t FindChild(const std::string& name, bool last);
  int32_t RequireChild(const std::string& name);
  void StepInto(int32_t node);
  bool IsWrapper(int32_t node) const;

  std::string ValueString(int32_t node) const;
  bool ValueBoolean(int32_t node) const;
  int64_t ValueSigned(int32_t node) const;
  uint64_t ValueUnsigned(int32_t node) const;
  int64_t ValueInteger(int32_t node) const;
  double ValueFloat(int32_t node) const;

  TLVNodes nodes_;
  int32_t current_ = -1;
  int32_t marked_ = -1;
};

}  // namespace orbelin
