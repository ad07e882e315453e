#pragma once
// Decoded pictures as the reader cuts them into channels: a bitmap of one of
// four layouts, with the tests that decide how many channels it gives.
#include <QImage>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Types.h"
#include "readers/common/PictureFormat.h"

namespace orbelin {

// Byte offsets of the components in a 24- or 32-bit pixel (blue first).
constexpr int kBlueOffset = 0;
constexpr int kGreenOffset = 1;
constexpr int kRedOffset = 2;
constexpr int kAlphaOffset = 3;

// One frame of a picture file with the time it stays on screen.
struct TPictureFrame {
  QImage Image;
  int DelayMs = 0;
};

// Decodes the frames of a picture file with the decoder of `format` (not the
// file's name); calls `visit` for each in turn and stops early when it returns
// false or `lastFrame` was decoded (-1 = all). Returns the number of frames
// decoded, 0 when the file does not decode.
int DecodePictureFrames(const std::string& fileName, TPictureFormat format, int lastFrame,
                        const std::function<bool(const TPictureFrame&)>& visit);

// Decodes one frame; a null image when it is not there or fails to decode.
QImage DecodePictureFrame(const std::string& fileName, TPictureFormat format, int frame);

// Brings a picture into one of the layouts the reader reads: 8-bit grey
// (Grayscale8), 16-bit grey (Grayscale16), 24-bit B,G,R (BGR888) or 32-bit
// B,G,R,A (ARGB32 on this little-endian machine). Animated pictures have no
// alpha worth a channel, so `dropAlpha` makes them 24-bit.
QImage NormalisePicture(const QImage& picture, bool dropAlpha);

// Bytes per pixel of a normalised picture: 1, 2 (16-bit grey), 3 or 4.
int PictureBytesPerPixel(const QImage& normalised);
// True when the picture holds only grey: a grey layout, or 24-bit with equal
// blue, green and red in every pixel. A 32-bit picture never is.
bool IsGreyPicture(const QImage& normalised);
// False only when the component has one value in every pixel and that value is 0 or 255.
bool ComponentIsInformative(const QImage& normalised, int offset);
// The samples of one component, row by row, without row padding; grey layouts
// give their pixels (16-bit grey as native 16-bit values).
void CopyPictureComponent(const QImage& normalised, int offset, TByteDynArray& data);

// Decoder name of a format for the image reader; nullptr when none decodes it here.
const char* PictureDecoderName(TPictureFormat format);

}  // namespace orbelin
