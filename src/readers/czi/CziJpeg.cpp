#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "foundation/Exceptions.h"
#include "readers/czi/CziDecode.h"

namespace orbelin {

namespace {

struct TJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

// A warning means damaged data (libjpeg would fill the rest of the picture with grey).
void OnJpegMessage(j_common_ptr info, int level) {
  if (level < 0) OnJpegError(info);
}

}  // namespace

// Gray8 subblocks hold grey JPEGs, Bgr24 subblocks colour JPEGs delivered in blue-green-red order.
TByteDynArray DecodeCziJpeg(const uint8_t* data, size_t size, const TCziPlaneShape& shape) {
  if (shape.SampleBytes != 1 || (shape.Components != 1 && shape.Components != 3) || shape.PlaneCount != 1)
    RaiseError<ESciImageReaderError>("JPEG subblock of a pixel type JPEG cannot hold.");
  TByteDynArray out;
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = &OnJpegError;
  error.manager.emit_message = &OnJpegMessage;
  error.message[0] = 0;
  jpeg_create_decompress(&info);
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    RaiseErrorFmt<ESciImageReaderError>("JPEG subblock: %s", error.message);
  }
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = shape.Components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  const bool fits = static_cast<int64_t>(info.image_width) == shape.Width &&
                    static_cast<int64_t>(info.image_height) == shape.Height;
  if (fits) {
    jpeg_start_decompress(&info);
    const size_t rowBytes = static_cast<size_t>(shape.Width) * static_cast<size_t>(shape.Components);
    if (info.output_components != shape.Components) {
      jpeg_destroy_decompress(&info);
      RaiseError<ESciImageReaderError>("JPEG subblock has another number of components.");
    }
    out.resize(rowBytes * static_cast<size_t>(shape.Height));
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = out.data() + rowBytes * info.output_scanline;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  }
  const unsigned width = info.image_width, height = info.image_height;
  jpeg_destroy_decompress(&info);
  if (!fits)
    RaiseErrorFmt<ESciImageReaderError>("JPEG subblock of %ux%u pixels instead of %dx%d.", width, height,
                                        shape.Width, shape.Height);
  return out;
}

}  // namespace orbelin
