#pragma once
// Which kind of ordinary picture a file holds, told by its first bytes rather
// than its name, so a renamed file still opens with the right decoder.
#include <cstddef>
#include <cstdint>
#include <string>

namespace orbelin {

enum class TPictureFormat : uint8_t {
  pfUnknown,
  pfPng,
  pfMetafile,
  pfIcon,
  pfGif,
  pfJpeg,
  pfBitmap,
};

// Files shorter than this are never recognised.
constexpr size_t kPictureSignatureMinimum = 8;

// The format named by the first bytes of a file; `size` is the file's whole size.
TPictureFormat RecognisePicture(const uint8_t* head, size_t size);
// The format of a file on disk; pfUnknown when it cannot be read.
TPictureFormat RecognisePictureFile(const std::string& fileName);

}  // namespace orbelin
