#include <gtest/gtest.h>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/tiff/TiffImage.h"
#include "readers/tiff/TiffWriter.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

TEST(TiffWriter, PagesAndPixelSizeReadBackUnchanged) {
  const int32_t width = 3, height = 2;
  const std::vector<TWordDynArray> pages = {{0, 1, 65535, 256, 4660, 7}, {9, 8, 7, 6, 5, 4}};
  const struct {
    double metres;
    double micrometres;
  } sizes[] = {{0.15e-6, 0.15}, {0.1625e-6, 0.1625}, {0, 0}};
  for (const auto& size : sizes) {
    TMemoryStream stream(GrayTiff16Bytes(width, height, pages, size.metres));
    for (int page = 0; page < 2; ++page) {
      TWordDynArray plane;
      int w = 0, h = 0, count = 0;
      double pixelSize = 0;
      ASSERT_TRUE(ReadTiffPlane(stream, page, plane, w, h, count, pixelSize));
      EXPECT_EQ(w, width);
      EXPECT_EQ(h, height);
      EXPECT_EQ(count, 2);
      EXPECT_EQ(plane, pages[static_cast<size_t>(page)]);
      EXPECT_NEAR(pixelSize, size.micrometres, 1e-12);
    }
  }
}

TEST(TiffWriter, RefusesWrongPagesAndUnwritablePlaces) {
  EXPECT_THROW(GrayTiff16Bytes(2, 2, {{1, 2, 3}}, 0), EArgumentOutOfRange);
  EXPECT_THROW(GrayTiff16Bytes(0, 2, {{}}, 0), EArgumentOutOfRange);
  EXPECT_THROW(GrayTiff16Bytes(2, 2, {}, 0), EArgumentOutOfRange);
  test::TempDir dir;
  EXPECT_THROW(WriteGrayTiff16(dir.File("missing/x.tif"), 1, 1, {{5}}, 0), EInOutError);
  WriteGrayTiff16(dir.File("x.tif"), 1, 1, {{5}}, 0);
  EXPECT_EQ(test::ReadFileBytes(dir.File("x.tif")), GrayTiff16Bytes(1, 1, {{5}}, 0));
}

}  // namespace
}  // namespace orbelin
