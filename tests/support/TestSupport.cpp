#include "support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace orbelin::test {

TempDir::TempDir() {
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("orbelin-test-" + std::to_string(device()) + std::to_string(attempt));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path CorpusDir() {
  const char* configured = std::getenv("ORBELIN_CORPUS");
  if (!configured || !*configured) return {};
  std::filesystem::path dir(configured);
  std::error_code ignored;
  if (!std::filesystem::exists(dir / "MANIFEST.tsv", ignored)) return {};
  return dir;
}

}  // namespace orbelin::test
