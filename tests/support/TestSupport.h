#pragma once
// Helpers shared by the test programs: scratch folders and the sample corpus.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orbelin::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
  std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The corpus folder from ORBELIN_CORPUS, or empty when it is not there.
std::filesystem::path CorpusDir();

}  // namespace orbelin::test

// Skips the current test with a visible reason when the corpus is absent.
#define ORBELIN_REQUIRE_CORPUS(dir)                                                       \
  const std::filesystem::path dir = ::orbelin::test::CorpusDir();                         \
  if (dir.empty()) GTEST_SKIP() << "sample corpus not found (set ORBELIN_CORPUS); skipped"
