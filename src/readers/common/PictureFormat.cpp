#include "readers/common/PictureFormat.h"

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"

namespace orbelin {

TPictureFormat RecognisePicture(const uint8_t* head, size_t size) {
  if (head == nullptr || size < kPictureSignatureMinimum) return TPictureFormat::pfUnknown;
  const uint32_t v = uint32_t{head[0]} | uint32_t{head[1]} << 8 | uint32_t{head[2]} << 16 | uint32_t{head[3]} << 24;
  if (v == 0x474E5089u) return TPictureFormat::pfPng;
  // Placeable metafile, standard metafile in a file, enhanced metafile.
  if (v == 0x9AC6CDD7u || v == 0x00090001u || v == 0x00000001u) return TPictureFormat::pfMetafile;
  if (v == 0x00010000u) return TPictureFormat::pfIcon;
  if ((v & 0xFFFFFFu) == 0x464947u) return TPictureFormat::pfGif;
  if ((v & 0xFFFFu) == 0xD8FFu) return TPictureFormat::pfJpeg;
  if ((v & 0xFFFFu) == 0x4D42u) return TPictureFormat::pfBitmap;
  return TPictureFormat::pfUnknown;
}

TPictureFormat RecognisePictureFile(const std::string& fileName) {
  try {
    TFileStream stream(fileName);
    uint8_t head[kPictureSignatureMinimum] = {};
    const size_t got = stream.ReadAt(0, head, sizeof head);
    if (got < sizeof head) return TPictureFormat::pfUnknown;
    return RecognisePicture(head, static_cast<size_t>(stream.Size()));
  } catch (const Exception&) {
    return TPictureFormat::pfUnknown;
  }
}

}  // namespace orbelin
