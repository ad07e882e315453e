#include "document/ImageFormats.h"

namespace orbelin {

const TImageFormats& DefaultImageFormats() {
  static const TImageFormats formats;
  return formats;
}

}  // namespace orbelin
