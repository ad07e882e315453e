// Writes small pictures of every kind the common-picture reader recognises
// into a folder, as the starting corpus of its fuzzer.
#include <QImage>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "readers/common/GifWriter.h"

namespace {

void SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool SaveImage(const std::string& path, const QImage& image, const char* format) {
  if (image.save(QString::fromStdString(path), format)) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

// A small gradient, so that every component varies.
QImage Gradient(int width, int height, QImage::Format format) {
  QImage image(width, height, QImage::Format_RGBA64);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixelColor(x, y,
                          QColor::fromRgba64(static_cast<quint16>(x * 4099), static_cast<quint16>(y * 8191),
                                             static_cast<quint16>((x + y) * 3001), static_cast<quint16>(65535 - x * 1000)));
  return image.convertToFormat(format);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: common_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = true;
  ok &= SaveImage(folder + "grey8.png", Gradient(8, 4, QImage::Format_Grayscale8), "png");
  ok &= SaveImage(folder + "grey16.png", Gradient(8, 4, QImage::Format_Grayscale16), "png");
  ok &= SaveImage(folder + "rgb.png", Gradient(8, 4, QImage::Format_RGB888), "png");
  ok &= SaveImage(folder + "rgba64.png", Gradient(6, 3, QImage::Format_RGBA64), "png");
  ok &= SaveImage(folder + "rgb.jpg", Gradient(16, 8, QImage::Format_RGB888), "jpeg");
  ok &= SaveImage(folder + "grey.jpg", Gradient(8, 8, QImage::Format_Grayscale8), "jpeg");
  ok &= SaveImage(folder + "rgb.bmp", Gradient(5, 3, QImage::Format_RGB888), "bmp");
  ok &= SaveImage(folder + "argb.bmp", Gradient(4, 2, QImage::Format_ARGB32), "bmp");
  ok &= SaveImage(folder + "icon.ico", Gradient(16, 16, QImage::Format_ARGB32), "ico");

  std::array<std::array<uint8_t, 3>, 256> palette{};
  for (int i = 0; i < 256; ++i)
    palette[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i / 2), static_cast<uint8_t>(255 - i)};
  std::vector<uint8_t> indices(12);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 20);
  std::vector<uint8_t> shifted(indices.rbegin(), indices.rend());
  SaveBytes(folder + "animated.gif", orbelin::test::WriteGif(4, 3, palette, {{indices, 10}, {shifted, 25}}));
  std::array<std::array<uint8_t, 3>, 256> grey{};
  for (int i = 0; i < 256; ++i) grey[static_cast<size_t>(i)].fill(static_cast<uint8_t>(i));
  SaveBytes(folder + "grey.gif", orbelin::test::WriteGif(4, 3, grey, {{indices, 0}}));

  // A placeable metafile header: recognised, never decoded.
  SaveBytes(folder + "placeable.wmf", {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0x10, 0, 0x10, 0, 0x60, 0, 0, 0, 0, 0, 0, 0});
  return ok ? 0 : 1;
}
