#include "readers/common/CommonFormatRegistration.h"

#include <mutex>

#include "readers/common/CommonFormatReader.h"

namespace orbelin {

const TReaderClass& CommonFormatReaderClass() {
  static const TReaderClass readerClass{
      "TCommonFormatReader", [](const std::string& fileName) { return TCommonFormatReader::CanRead(fileName); },
      []() -> std::unique_ptr<TSciImageReader> { return std::make_unique<TCommonFormatReader>(); }};
  return readerClass;
}

void RegisterCommonFormatReader() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterReaderClasses();
    const TReaderClass& readerClass = CommonFormatReaderClass();
    RegisterReaderClass(readerClass, "GIF image", "gif");
    RegisterReaderClass(readerClass, "PNG image", "png");
    RegisterReaderClass(readerClass, "Bitmap image", "bmp");
    RegisterReaderClass(readerClass, "JPEG images", "jpg;jpeg;jpe;jif;jiff");
    RegisterReaderClass(readerClass, "Windows metafile", "wmf;emf");
    RegisterReaderClass(readerClass, "Icon image", "ico");
    SetFallbackReaderClass(&readerClass);
  });
}

}  // namespace orbelin
