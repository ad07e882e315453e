#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>

#include "foundation/Exceptions.h"
#include "readers/tiff/TiffEntry.h"

namespace orbelin {
namespace {

template <class T>
tIFDItem BufferEntry(uint16_t tag, uint16_t type, uint32_t count, std::vector<T> values) {
  tIFDItem entry{tag, type, count, 0, {}};
  entry.buffer.resize(values.size() * sizeof(T));
  std::memcpy(entry.buffer.data(), values.data(), entry.buffer.size());
  return entry;
}

tIFDItem SlotEntry(uint16_t tag, uint16_t type, uint32_t value) { return {tag, type, 1, value, {}}; }

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(no error)";
}

TEST(TiffEntry, NumbersConvertBetweenTheThreeReads) {
  const tIFDItem signedShort = SlotEntry(1, ftSignedShort, 0xFFFF);
  EXPECT_EQ(EntrySigned(signedShort, 0), -1);
  EXPECT_EQ(EntryUnsigned(signedShort, 0), 0xFFFFFFFFu);
  EXPECT_EQ(EntryFloat(signedShort, 0), -1.0);

  const tIFDItem shortPair = BufferEntry<uint16_t>(2, ftShort, 2, {7, 65535});
  EXPECT_EQ(EntryUnsigned(shortPair, 1), 65535u);
  EXPECT_EQ(EntrySigned(shortPair, 1), 65535);

  // Rationals round half to even; a zero denominator reads as 0.
  const tIFDItem rationals = BufferEntry<uint32_t>(3, ftRational, 3, {5, 2, 7, 2, 9, 0});
  EXPECT_EQ(EntryFloat(rationals, 0), 2.5);
  EXPECT_EQ(EntryUnsigned(rationals, 0), 2u);
  EXPECT_EQ(EntryUnsigned(rationals, 1), 4u);
  EXPECT_EQ(EntryFloat(rationals, 2), 0.0);
  const tIFDItem negative = BufferEntry<int32_t>(4, ftSignedRational, 1, {-3, 2});
  EXPECT_EQ(EntrySigned(negative, 0), -2);

  const tIFDItem single = SlotEntry(5, ftFloat, std::bit_cast<uint32_t>(3.5f));
  EXPECT_EQ(EntryFloat(single, 0), 3.5);
  EXPECT_EQ(EntryUnsigned(single, 0), 4u);
  const tIFDItem wide = BufferEntry<double>(6, ftDouble, 1, {-6.5});
  EXPECT_EQ(EntrySigned(wide, 0), -6);
}

TEST(TiffEntry, FailuresRaiseTheirMessages) {
  const tIFDItems entries = {SlotEntry(256, ftLong, 12), BufferEntry<char>(270, ftAscii, 3, {'a', 'b', 0}),
                             SlotEntry(300, 13, 1)};
  EXPECT_EQ(MessageOf([&] { EntryUnsigned(entries, 999); }), "Tag 999 not found.");
  EXPECT_EQ(MessageOf([&] { EntryFloat(entries, 40000); }), "Tag 40000 not found.");
  EXPECT_EQ(MessageOf([&] { EntryUnsigned(entries, 270); }), "Incompatible types: cannot convert \"ASCII\" to \"Long\".");
  EXPECT_EQ(MessageOf([&] { EntrySigned(entries, 270); }),
            "Incompatible types: cannot convert \"ASCII\" to \"Signed long\".");
  EXPECT_EQ(MessageOf([&] { EntryFloat(entries, 300); }),
            "Incompatible types: cannot convert \"Unknown\" to \"Double\".");
  EXPECT_EQ(MessageOf([&] { EntryUnsigned(entries, 256, 1); }), "Out of range: Item[1] does not exist.");
  EXPECT_EQ(EntryUnsignedOr(entries, 256, 7), 12u);
  EXPECT_EQ(EntryUnsignedOr(entries, 257, 7), 7u);
}

}  // namespace
}  // namespace orbelin
