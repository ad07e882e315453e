#pragma once
// One entry of a TIFF image file directory and the typed reads of its values.
#include <cstdint>
#include <string>
#include <vector>

namespace orbelin {

// Field types of directory entries.
enum : uint16_t {
  ftByte = 1,
  ftAscii = 2,
  ftShort = 3,
  ftLong = 4,
  ftRational = 5,
  ftSignedByte = 6,
  ftUndefined = 7,
  ftSignedShort = 8,
  ftSignedLong = 9,
  ftSignedRational = 10,
  ftFloat = 11,
  ftDouble = 12,
};

constexpr uint16_t kLastKnownFieldType = ftDouble;

// Bytes per value of a field type; 0 for unknown types.
unsigned FieldTypeSize(uint16_t type);
// The type's name as error messages show it ("Unknown" beyond the table).
const char* FieldTypeName(uint16_t type);

struct tIFDItem {
  uint16_t tag = 0;
  uint16_t type = 0;
  uint32_t count = 0;
  // The 4-byte value field in host order: the value itself or the file offset of the values.
  uint32_t value = 0;
  // All values in host order for entries that keep them out of the slot (see OwnsBuffer).
  std::vector<uint8_t> buffer;

  // Entries with several values, or of a type wider than the slot or of text-like kind, keep
  // their values in buffer once loaded; the others read their single value from the slot.
  bool OwnsBuffer() const;
};

using tIFDItems = std::vector<tIFDItem>;

// Value i of an entry. Raise "Out of range..." for i >= count and "Incompatible types..." for
// types that hold no number.
uint32_t EntryUnsigned(const tIFDItem& entry, uint32_t i);
int32_t EntrySigned(const tIFDItem& entry, uint32_t i);
double EntryFloat(const tIFDItem& entry, uint32_t i);

// Linear search by tag; nullptr when the directory lacks it.
const tIFDItem* FindEntry(const tIFDItems& entries, uint16_t tag);

// The same reads by tag; a missing tag raises "Tag %d not found.".
uint32_t EntryUnsigned(const tIFDItems& entries, uint16_t tag, uint32_t i = 0);
int32_t EntrySigned(const tIFDItems& entries, uint16_t tag, uint32_t i = 0);
double EntryFloat(const tIFDItems& entries, uint16_t tag, uint32_t i = 0);
// Value i of the tag, or fallback when the directory lacks the tag.
uint32_t EntryUnsignedOr(const tIFDItems& entries, uint16_t tag, uint32_t fallback, uint32_t i = 0);

}  // namespace orbelin
