// Feeds arbitrary bytes to the CZI reader: probe, open, and read the first
// images. Any crash, leak, sanitizer report or runaway allocation is a fault.
#include <cstddef>
#include <cstdint>

#include "MemoryFile.h"
#include "foundation/Exceptions.h"
#include "readers/czi/ZeissCziReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orbelin::fuzz::TMemoryFile file;
  const std::string path = file.Store(data, size);
  if (path.empty()) return 0;
  orbelin::TZeissCziReader::CanRead(path);
  orbelin::TZeissCziReader reader;
  try {
    reader.Open(path);
  } catch (const orbelin::ESciImageReaderError&) {
    return 0;
  }
  const int count = reader.StackInfo().ImageCount;
  orbelin::TWordDynArray plane;
  for (int index = 0; index < count && index < 8; ++index) reader.ReadImage(index, plane);
  reader.ReadImage(count - 1, plane);
  return 0;
}
