#pragma once
// The XML metadata of a CZI file: sizes, channels, scenes, time and Z steps
// and the pixel size, read into the stack model.
#include <string>

#include "readers/framework/StackModel.h"

namespace orbelin {

struct TCziScaling {
  float PixelWidth = 0;  // metres per pixel, 0 when not given
  float PixelHeight = 0;
};

// Parses the document (logging "Cannot load XML." and "Incorrect XML." before
// those steps) and fills the stack from it. Raises on a document that does not
// parse, has no root, or holds a text that does not convert to a number.
// Returns whether the document describes the image (and so gave its sizes).
bool ReadCziMetadata(const std::string& xmlText, TStackInfo& stackInfo, TCziScaling& scaling);

}  // namespace orbelin
