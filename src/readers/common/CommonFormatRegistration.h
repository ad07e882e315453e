#pragma once
// The common-picture reader's place in the reader registry. It lives outside
// the Qt-free reader library, so the program registers it at start-up.
#include "readers/framework/ReaderRegistry.h"

namespace orbelin {

// The registry's descriptor of the common-picture reader class.
const TReaderClass& CommonFormatReaderClass();

// Registers every reader class, the common-picture reader with its picture
// extensions and as the reader of files no other extension claims. Later calls do nothing.
void RegisterCommonFormatReader();

}  // namespace orbelin
