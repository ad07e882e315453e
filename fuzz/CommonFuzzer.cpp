// Feeds arbitrary bytes to the common-picture reader as a file: probe, open,
// describe, and read the images. Any crash, leak or sanitizer report is a fault.
#include <QImageReader>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "MemoryFile.h"
#include "foundation/Exceptions.h"
#include "readers/common/CommonFormatReader.h"

namespace {

// Bounds the work per input (a 90-byte bitmap may claim millions of rows):
// small pictures find the same faults as huge ones.
constexpr int kAllocationLimitMb = 16;
constexpr int kImagesRead = 8;

// Qt's decoders warn about every damaged file; the fuzzer only wants faults.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orbelin;
  static fuzz::TMemoryFile file;
  static const bool prepared = (QImageReader::setAllocationLimit(kAllocationLimitMb), qInstallMessageHandler(Quiet), true);
  (void)prepared;
  const std::string path = file.Store(data, size);
  if (path.empty()) return 0;
  TCommonFormatReader::CanRead(path);
  // The frames of an animated picture become times, positions or planes; the size picks which.
  SetCommonFormatFrameDimension(static_cast<uint8_t>(size % 3));
  TCommonFormatReader reader;
  try {
    reader.Open(path);
  } catch (const ESciImageReaderError&) {
    return 0;
  }
  TReaderChannelInfo channel;
  for (int index = 0; index <= reader.ChannelCount(); ++index) reader.GetChannelInfo(index, channel);
  const int count = reader.StackInfo().ImageCount;
  TWordDynArray plane;
  for (int index = 0; index < std::min(count, kImagesRead); ++index) reader.ReadImage(index, plane);
  reader.ReadImage(count - 1, plane);
  // Reopening the same file keeps its decoded picture; the reads must still agree with it.
  try {
    reader.Open(path);
  } catch (const ESciImageReaderError&) {
    return 0;
  }
  reader.ReadImage(0, plane);
  return 0;
}
