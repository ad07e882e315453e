#pragma once
// Opening generated ND2 bytes in memory and taking one channel out of a frame.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Stream.h"
#include "foundation/Types.h"
#include "readers/nd2/Nd2Header.h"

namespace orbelin::test {

struct TNd2Opened {
  TMemoryStream stream;
  TNd2Header header;
  std::vector<std::string> reports;
  int code = 0;
};

// Parses the bytes; errors propagate.
void OpenNd2(const std::vector<uint8_t>& bytes, TNd2Opened& opened);

// Channel `channel` of the interleaved, packed frame of a sequence step, widened to 16 bits.
TWordDynArray Nd2ChannelPlane(const TNd2Header& header, const std::vector<uint8_t>& frame, int channel);

// Reads the plane of (position, time, plane, channel); fails the test when the read fails.
TWordDynArray ReadNd2Plane(TNd2Opened& opened, int position, int time, int plane, int channel);

bool Contains(const std::vector<std::string>& texts, const std::string& text);

}  // namespace orbelin::test
