#pragma once
// The reader framework's classes seen through the image set's plane-reader seam.
#include "document/ImageFormats.h"

namespace orbelin {

struct TReaderClass;

// A plane-reader class over a reader class of the framework; one per class,
// living as long as the program.
const TPlaneReaderClass& PlaneReaderClassOf(const TReaderClass& readerClass);

}  // namespace orbelin
