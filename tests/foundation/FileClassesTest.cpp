#include <gtest/gtest.h>

#include "foundation/FileClasses.h"

namespace orbelin {
namespace {

const int kTiffReader = 0;
const int kNd2Reader = 0;

std::vector<std::string> Extensions(const TFileClasses& registry, TFileClass fileClass) {
  return registry.Items[static_cast<size_t>(registry.IndexOfClass(fileClass))].Extensions.Values();
}

TEST(FileClasses, AKnownExtensionEndsTheRegistration) {
  TFileClasses registry;
  EXPECT_TRUE(registry.Register(&kTiffReader, "TIFF images", "tif;tiff"));
  EXPECT_TRUE(registry.Register(&kTiffReader, "Other text", "TIFF;stk"));
  EXPECT_EQ(Extensions(registry, &kTiffReader), (std::vector<std::string>{"tif", "tiff"}));
  EXPECT_EQ(registry.Items[0].Description, "TIFF images");

  TFileClasses sensitive;
  sensitive.CaseSensitive = true;
  sensitive.Register(&kTiffReader, "TIFF images", "tif;tiff");
  sensitive.Register(&kTiffReader, "", "TIFF;stk;tif;lsm");
  EXPECT_EQ(Extensions(sensitive, &kTiffReader), (std::vector<std::string>{"tif", "tiff", "TIFF", "stk"}));
}

TEST(FileClasses, EntriesAreCreatedOncePerClass) {
  TFileClasses registry;
  EXPECT_EQ(registry.IndexOfClass(&kNd2Reader), -1);
  registry.Register(&kNd2Reader, "", "");
  registry.Register(&kTiffReader, "TIFF images", " tif ; ;'a;b'");
  registry.Register(&kNd2Reader, "ND2 files", "nd2");
  ASSERT_EQ(registry.Items.size(), 2u);
  EXPECT_EQ(registry.IndexOfClass(&kNd2Reader), 0);
  EXPECT_EQ(registry.IndexOfClass(&kTiffReader), 1);
  // An empty description is filled by a later registration.
  EXPECT_EQ(registry.Items[0].Description, "ND2 files");
  EXPECT_EQ(Extensions(registry, &kNd2Reader), (std::vector<std::string>{"nd2"}));
  EXPECT_EQ(Extensions(registry, &kTiffReader), (std::vector<std::string>{"tif", "'a;b'"}));
  EXPECT_EQ(&FileClasses(), &FileClasses());
}

}  // namespace
}  // namespace orbelin
