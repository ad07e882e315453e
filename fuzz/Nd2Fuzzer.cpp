// Feeds arbitrary bytes to the ND2 header parser as a whole file and reads
// the first frames of whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "foundation/Stream.h"
#include "readers/nd2/Nd2Header.h"
#include "readers/nd2/Nd2PixelData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orbelin;
  TMemoryStream stream(data, size);
  TNd2Header header;
  try {
    if (ReadNd2Header(stream, header, [](const std::string&) {}) != 0) return 0;
  } catch (const std::exception&) {
    return 0;
  }
  std::vector<uint8_t> frame;
  for (int64_t step = 0; step < header.SequenceCount && step < 4; ++step) ReadNd2SequenceData(stream, header, step, frame);
  return 0;
}
