#include <gtest/gtest.h>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool terminate) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  if (terminate) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TEST(Stream, TypedReadsAreLittleEndianAndShortReadsRaise) {
  TMemoryStream stream(std::vector<uint8_t>{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0A, 0x0B, 0x0C});
  EXPECT_EQ(ReadUInt32(stream), 0x04030201u);
  EXPECT_EQ(ReadBigEndianUInt32(stream), 0x05060708u);
  EXPECT_EQ(ReadByte(stream), 0x0A);
  EXPECT_EQ(stream.Position(), 9);
  EXPECT_THROW(ReadUInt32(stream), EReadError);
  stream.Seek(0);
  EXPECT_EQ(ReadUInt64(stream), 0x0807060504030201ull);
  stream.Seek(100);
  EXPECT_THROW(ReadByte(stream), EReadError);
  EXPECT_EQ(ReadWideChars(stream, -1), "");
}

TEST(Stream, WideStringZStopsAfterItsTerminatorAcrossBlocks) {
  // A 1500-character text spans the 2048-byte blocks the reader works in.
  std::u16string longText(1500, u'x');
  longText[0] = u'\u00B5';  // µ survives the UTF-8 conversion
  auto bytes = Utf16Bytes(longText, true);
  auto tail = Utf16Bytes(u"next", false);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  TMemoryStream stream(bytes);
  const std::string text = ReadWideStringZ(stream);
  EXPECT_EQ(text.size(), 1501u);  // µ takes two bytes
  EXPECT_EQ(text.substr(0, 2), "\xC2\xB5");
  EXPECT_EQ(stream.Position(), 3002);
  EXPECT_EQ(ReadWideChars(stream, 4), "next");
}

TEST(Stream, WideStringZWithoutTerminatorEndsAtTheStreamEnd) {
  TMemoryStream stream(Utf16Bytes(u"abc", false));
  EXPECT_EQ(ReadWideStringZ(stream), "abc");
}

TEST(Stream, FileStreamReadsAndRefusesMissingFiles) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.bin"), {1, 0, 0, 0, 2});
  auto stream = OpenFileRead(dir.File("a.bin"));
  EXPECT_EQ(stream->Size(), 5);
  EXPECT_EQ(ReadInt32(*stream), 1);
  EXPECT_EQ(ReadAnsiChars(*stream, 1), "\x02");
  EXPECT_THROW(OpenFileRead(dir.File("missing.bin")), EInOutError);
}

}  // namespace
}  // namespace orbelin
