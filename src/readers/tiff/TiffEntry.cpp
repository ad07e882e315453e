#include "readers/tiff/TiffEntry.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "foundation/Exceptions.h"

namespace orbelin {

namespace {

struct TFieldType {
  unsigned size;
  const char* name;
};

constexpr TFieldType kFieldTypes[] = {
    {0, "Unknown"}, {1, "Byte"},         {1, "ASCII"},        {2, "Small"},
    {4, "Long"},    {8, "Rational"},     {1, "Signed byte"},  {1, "Undefined"},
    {2, "Signed small"}, {4, "Signed long"}, {8, "Signed rational"}, {4, "Float"},
    {8, "Double"},
};

[[noreturn]] void RaiseIncompatible(const tIFDItem& entry, const char* target) {
  RaiseErrorFmt<Exception>("Incompatible types: cannot convert \"%s\" to \"%s\".", FieldTypeName(entry.type),
                           target);
}

void CheckIndex(const tIFDItem& entry, uint32_t i) {
  if (i >= entry.count) RaiseErrorFmt<EArgumentOutOfRange>("Out of range: Item[%d] does not exist.", static_cast<int>(i));
}

// Element i of type T, from the buffer when the entry owns one, else from the value slot
// (which holds at most one value of at most 4 bytes, low bytes first).
template <class T>
T RawValue(const tIFDItem& entry, uint32_t i) {
  T result{};
  if (entry.OwnsBuffer()) {
    const size_t at = static_cast<size_t>(i) * sizeof(T);
    if (at + sizeof(T) > entry.buffer.size())
      RaiseErrorFmt<EArgumentOutOfRange>("Out of range: Item[%d] does not exist.", static_cast<int>(i));
    std::memcpy(&result, entry.buffer.data() + at, sizeof(T));
  } else if constexpr (sizeof(T) <= sizeof(entry.value)) {
    std::memcpy(&result, &entry.value, sizeof(T));
  } else {
    RaiseErrorFmt<EArgumentOutOfRange>("Out of range: Item[%d] does not exist.", static_cast<int>(i));
  }
  return result;
}

// Round half to even, saturating at the ends of the 64-bit range, NaN as 0.
int64_t RoundToInt64(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded <= static_cast<double>(std::numeric_limits<int64_t>::min())) return std::numeric_limits<int64_t>::min();
  if (rounded >= static_cast<double>(std::numeric_limits<int64_t>::max())) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(rounded);
}

const tIFDItem& RequireEntry(const tIFDItems& entries, uint16_t tag) {
  const tIFDItem* entry = FindEntry(entries, tag);
  if (!entry) RaiseErrorFmt<Exception>("Tag %u not found.", static_cast<unsigned>(tag));
  return *entry;
}

}  // namespace

unsigned FieldTypeSize(uint16_t type) { return type <= kLastKnownFieldType ? kFieldTypes[type].size : 0; }

const char* FieldTypeName(uint16_t type) {
  return type <= kLastKnownFieldType ? kFieldTypes[type].name : kFieldTypes[0].name;
}

bool tIFDItem::OwnsBuffer() const {
  return count > 1 || type == ftAscii || type == ftRational || type == ftUndefined || type == ftSignedRational ||
         type == ftDouble;
}

uint32_t EntryUnsigned(const tIFDItem& entry, uint32_t i) {
  CheckIndex(entry, i);
  switch (entry.type) {
    case ftByte: return RawValue<uint8_t>(entry, i);
    case ftShort: return RawValue<uint16_t>(entry, i);
    case ftLong: return RawValue<uint32_t>(entry, i);
    case ftSignedByte:
    case ftSignedShort:
    case ftSignedLong: return static_cast<uint32_t>(EntrySigned(entry, i));
    case ftRational:
    case ftSignedRational:
    case ftFloat:
    case ftDouble: return static_cast<uint32_t>(RoundToInt64(EntryFloat(entry, i)));
    default: RaiseIncompatible(entry, "Long");
  }
}

int32_t EntrySigned(const tIFDItem& entry, uint32_t i) {
  CheckIndex(entry, i);
  switch (entry.type) {
    case ftSignedByte: return RawValue<int8_t>(entry, i);
    case ftSignedShort: return RawValue<int16_t>(entry, i);
    case ftSignedLong: return RawValue<int32_t>(entry, i);
    case ftByte:
    case ftShort:
    case ftLong: return static_cast<int32_t>(EntryUnsigned(entry, i));
    case ftRational:
    case ftSignedRational:
    case ftFloat:
    case ftDouble: return static_cast<int32_t>(RoundToInt64(EntryFloat(entry, i)));
    default: RaiseIncompatible(entry, "Signed long");
  }
}

double EntryFloat(const tIFDItem& entry, uint32_t i) {
  CheckIndex(entry, i);
  switch (entry.type) {
    case ftRational: {
      const uint32_t numerator = RawValue<uint32_t>(entry, 2 * i);
      const uint32_t denominator = RawValue<uint32_t>(entry, 2 * i + 1);
      return denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
    }
    case ftSignedRational: {
      const int32_t numerator = RawValue<int32_t>(entry, 2 * i);
      const int32_t denominator = RawValue<int32_t>(entry, 2 * i + 1);
      return denominator == 0 ? 0.0 : static_cast<double>(numerator) / denominator;
    }
    case ftFloat: return RawValue<float>(entry, i);
    case ftDouble: return RawValue<double>(entry, i);
    case ftByte:
    case ftShort:
    case ftLong: return EntryUnsigned(entry, i);
    case ftSignedByte:
    case ftSignedShort:
    case ftSignedLong: return EntrySigned(entry, i);
    default: RaiseIncompatible(entry, "Double");
  }
}

const tIFDItem* FindEntry(const tIFDItems& entries, uint16_t tag) {
  for (const auto& entry : entries)
    if (entry.tag == tag) return &entry;
  return nullptr;
}

uint32_t EntryUnsigned(const tIFDItems& entries, uint16_t tag, uint32_t i) {
  return EntryUnsigned(RequireEntry(entries, tag), i);
}

int32_t EntrySigned(const tIFDItems& entries, uint16_t tag, uint32_t i) {
  return EntrySigned(RequireEntry(entries, tag), i);
}

double EntryFloat(const tIFDItems& entries, uint16_t tag, uint32_t i) {
  return EntryFloat(RequireEntry(entries, tag), i);
}

uint32_t EntryUnsignedOr(const tIFDItems& entries, uint16_t tag, uint32_t fallback, uint32_t i) {
  const tIFDItem* entry = FindEntry(entries, tag);
  return entry ? EntryUnsigned(*entry, i) : fallback;
}

}  // namespace orbelin
