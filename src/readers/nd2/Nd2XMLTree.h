#pragma once
// An ND2 metadata chunk in the XML encoding: data elements carry "runtype"
// and "value" attributes, structures carry neither, and list content sits in
// a single "no_name" element.
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "readers/nd2/Nd2TreeNavigator.h"

namespace orbelin {

class TND2XMLTree final : public TND2TreeNavigator {
public:
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

private:
  pugi::xml_node CurrentNode() const;
  pugi::xml_node FindChild(const std::string& name, bool last) const;
  pugi::xml_node RequireChild(const std::string& name) const;
  void StepInto(pugi::xml_node node);
  static bool IsWrapper(pugi::xml_node node);

  std::string ValueString(pugi::xml_node node) const;
  bool ValueBoolean(pugi::xml_node node) const;
  int64_t ValueSigned(pugi::xml_node node) const;
  uint64_t ValueUnsigned(pugi::xml_node node) const;
  int64_t ValueInteger(pugi::xml_node node) const;
  double ValueFloat(pugi::xml_node node) const;

  std::unique_ptr<pugi::xml_document> document_;
  pugi::xml_node current_;
  pugi::xml_node marked_;
};

}  // namespace orbelin
