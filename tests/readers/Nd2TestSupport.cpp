#include "readers/Nd2TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "readers/nd2/Nd2PixelData.h"

namespace orbelin::test {

void OpenNd2(const std::vector<uint8_t>& bytes, TNd2Opened& opened) {
  opened.stream = TMemoryStream(bytes);
  opened.reports.clear();
  opened.code = ReadNd2Header(opened.stream, opened.header,
                              [&opened](const std::string& text) { opened.reports.push_back(text); });
}

TWordDynArray Nd2ChannelPlane(const TNd2Header& header, const std::vector<uint8_t>& frame, int channel) {
  const size_t pixels = static_cast<size_t>(header.Width) * static_cast<size_t>(header.Height);
  TWordDynArray plane(pixels, 0);
  const size_t step = static_cast<size_t>(header.Components) * static_cast<size_t>(header.BytesPerSample);
  for (size_t i = 0; i < pixels; ++i) {
    const size_t at = i * step + static_cast<size_t>(channel) * static_cast<size_t>(header.BytesPerSample);
    if (header.BytesPerSample == 1) {
      plane[i] = frame[at];
    } else {
      std::memcpy(&plane[i], frame.data() + at, 2);
    }
  }
  return plane;
}

TWordDynArray ReadNd2Plane(TNd2Opened& opened, int position, int time, int plane, int channel) {
  const int64_t image = opened.header.ImageIndexOf(position, time, plane, channel);
  std::vector<uint8_t> frame;
  const bool ok = ReadNd2SequenceData(opened.stream, opened.header, image / opened.header.Components, frame);
  EXPECT_TRUE(ok);
  if (!ok) return {};
  EXPECT_EQ(frame.size(), static_cast<size_t>(opened.header.PackedRowBytes() * opened.header.Height));
  return Nd2ChannelPlane(opened.header, frame, static_cast<int>(image % opened.header.Components));
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace orbelin::test
