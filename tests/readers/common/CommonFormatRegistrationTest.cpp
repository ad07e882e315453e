#include <gtest/gtest.h>

#include <QImage>

#include "foundation/FileClasses.h"
#include "readers/common/CommonFormatReader.h"
#include "readers/common/CommonFormatRegistration.h"
#include "readers/czi/ZeissCziReader.h"
#include "support/TestSupport.h"

namespace orbelin {
namespace {

TEST(CommonFormatRegistration, PicturesByExtensionAndOtherNamesByContent) {
  RegisterCommonFormatReader();
  const TReaderClass* common = &CommonFormatReaderClass();
  for (const char* name : {"a.gif", "a.PNG", "a.bmp", "a.jpg", "a.jpeg", "a.jpe", "a.jif", "a.JIFF", "a.wmf",
                           "a.emf", "a.ico"})
    EXPECT_EQ(ReaderClassForFile(name), common) << name;
  EXPECT_EQ(ReaderClassForFile("cells.czi"), &ZeissCziReaderClass());

  test::TempDir dir;
  const std::string picture = dir.File("export.dat");
  QImage image(2, 2, QImage::Format_Grayscale8);
  image.fill(1);
  ASSERT_TRUE(image.save(QString::fromStdString(picture), "png"));
  const std::string junk = dir.File("notes.dat");
  test::WriteFile(junk, std::vector<uint8_t>(32, 'x'));
  EXPECT_EQ(ReaderClassForFile(picture), common);
  EXPECT_EQ(ReaderClassForFile(junk), nullptr);
  EXPECT_EQ(ReaderClassForFile(dir.File("missing")), nullptr);

  auto reader = CreateReaderForFile(picture);
  ASSERT_NE(dynamic_cast<TCommonFormatReader*>(reader.get()), nullptr);
  reader->Open(picture);
  EXPECT_EQ(reader->ChannelCount(), 1);
  // One registry entry holds all the picture extensions, under the first description.
  const int index = FileClasses().IndexOfClass(common);
  ASSERT_GE(index, 0);
  EXPECT_EQ(FileClasses().Items[size_t(index)].Description, "GIF image");
  EXPECT_EQ(FileClasses().Items[size_t(index)].Extensions.Count(), 11);
}

}  // namespace
}  // namespace orbelin
