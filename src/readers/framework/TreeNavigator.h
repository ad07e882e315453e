#pragma once
// A cursor over a hierarchical metadata tree. Value getters that take a name
// look for a child of the current node with that name and raise
// ESciImageReaderError when it is missing or of the wrong kind.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orbelin {

class TStream;

class TTreeNavigator {
public:
  TTreeNavigator() = default;
  TTreeNavigator(const TTreeNavigator&) = delete;
  TTreeNavigator& operator=(const TTreeNavigator&) = delete;
  virtual ~TTreeNavigator() = default;

  virtual int ChildCount() = 0;
  virtual std::string ChildName(int index) = 0;

  // The value of the current node.
  virtual std::string AsString() = 0;
  virtual bool AsBoolean() = 0;
  virtual int64_t AsInt64() = 0;
  virtual uint64_t AsUInt64() = 0;
  virtual double AsFloat() = 0;

  // The value of the named child of the current node.
  virtual std::string ReadString(const std::string& name) = 0;
  virtual bool ReadBoolean(const std::string& name) = 0;
  virtual int64_t ReadInt64(const std::string& name) = 0;
  virtual uint64_t ReadUInt64(const std::string& name) = 0;
  virtual double ReadFloat(const std::string& name) = 0;

  // Parses size bytes at position of the stream, then goes to the root.
  virtual void Load(TStream& stream, int64_t size, int64_t position) = 0;

  virtual bool HasChild(const std::string& name) = 0;
  virtual void EnterChild(const std::string& name) = 0;
  virtual void EnterChildAt(int index) = 0;
  virtual void Leave() = 0;
  virtual void GoToRoot() = 0;
  virtual bool AtRoot() = 0;
  virtual void Mark() = 0;
  virtual void ReturnToMark() = 0;

  // The Read* value, or the default on any failure.
  virtual std::string ReadStringDef(const std::string& name, const std::string& defaultValue);
  virtual bool ReadBooleanDef(const std::string& name, bool defaultValue);
  virtual int64_t ReadInt64Def(const std::string& name, int64_t defaultValue);
  virtual uint64_t ReadUInt64Def(const std::string& name, uint64_t defaultValue);
  virtual double ReadFloatDef(const std::string& name, double defaultValue);

  // The named child's value, of any integer width or sign.
  virtual int64_t ReadInteger(const std::string& name) = 0;

  // Enters the names in order; stops and returns false at the first missing
  // one, leaving the cursor where it stopped.
  bool EnterPath(std::initializer_list<std::string_view> names);
};

}  // namespace orbelin
