#include "readers/tiff/TiffWriter.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "foundation/Exceptions.h"

namespace orbelin {

namespace {

constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeRational = 5;
constexpr uint16_t kUnitCentimetre = 3;
// The resolution is 1e9 / (pixel size in units of 10 pm) pixels per
// centimetre, which keeps pixel sizes given in nanometres exact.
constexpr uint32_t kResolutionNumerator = 1000000000;
constexpr double kResolutionDenominatorPerMetre = 1e11;

struct TEntry {
  uint16_t tag;
  uint16_t type;
  uint32_t value;  // inline value, or the offset of a rational
};

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::vector<uint8_t> GrayTiff16Bytes(int32_t width, int32_t height, const std::vector<TWordDynArray>& pages,
                                     double pixelSize) {
  if (width <= 0 || height <= 0 || pages.empty())
    RaiseErrorFmt<EArgumentOutOfRange>("Invalid width/height: %dx%d.", width, height);
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  for (const auto& page : pages)
    if (page.size() != pixels) RaiseError<EArgumentOutOfRange>("Arrays have different sizes.");

  const bool calibrated = pixelSize > 0;
  uint32_t denominator = 0;
  if (calibrated) {
    const double scaled = std::round(pixelSize * kResolutionDenominatorPerMetre);
    denominator = scaled < 1 ? 1 : scaled > 4e9 ? 4000000000u : static_cast<uint32_t>(scaled);
  }
  const uint16_t entryCount = calibrated ? 12 : 9;
  const uint64_t stripBytes = pixels * 2;
  // Per page: the strip, then the directory, then its two rationals.
  const uint64_t directoryBytes = 2 + 12ull * entryCount + 4 + (calibrated ? 16 : 0);
  const uint64_t total = 8 + pages.size() * (stripBytes + directoryBytes);
  if (total > std::numeric_limits<uint32_t>::max()) RaiseError<EArgumentOutOfRange>("Image too large for a TIFF file");

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(total));
  out.push_back('I');
  out.push_back('I');
  Put16(out, 42);
  Put32(out, 0);  // patched below
  size_t nextLink = 4;
  for (const auto& page : pages) {
    const auto stripOffset = static_cast<uint32_t>(out.size());
    for (uint16_t sample : page) Put16(out, sample);
    const auto directoryOffset = static_cast<uint32_t>(out.size());
    for (int shift = 0; shift < 32; shift += 8)
      out[nextLink + static_cast<size_t>(shift / 8)] = static_cast<uint8_t>(directoryOffset >> shift);
    const uint32_t rationals = directoryOffset + 2 + 12u * entryCount + 4;
    std::vector<TEntry> entries = {
        {256, kTypeLong, static_cast<uint32_t>(width)},
        {257, kTypeLong, static_cast<uint32_t>(height)},
        {258, kTypeShort, 16},
        {259, kTypeShort, 1},  // no compression
        {262, kTypeShort, 1},  // black is zero
        {273, kTypeLong, stripOffset},
        {277, kTypeShort, 1},
        {278, kTypeLong, static_cast<uint32_t>(height)},
        {279, kTypeLong, static_cast<uint32_t>(stripBytes)},
    };
    if (calibrated) {
      entries.push_back({282, kTypeRational, rationals});
      entries.push_back({283, kTypeRational, rationals + 8});
      entries.push_back({296, kTypeShort, kUnitCentimetre});
    }
    Put16(out, entryCount);
    for (const auto& entry : entries) {
      Put16(out, entry.tag);
      Put16(out, entry.type);
      Put32(out, 1);
      if (entry.type == kTypeShort) {
        Put16(out, static_cast<uint16_t>(entry.value));
        Put16(out, 0);
      } else {
        Put32(out, entry.value);
      }
    }
    nextLink = out.size();
    Put32(out, 0);
    if (calibrated)
      for (int i = 0; i < 2; ++i) {
        Put32(out, kResolutionNumerator);
        Put32(out, denominator);
      }
  }
  return out;
}

void WriteGrayTiff16(const std::string& fileName, int32_t width, int32_t height,
                     const std::vector<TWordDynArray>& pages, double pixelSize) {
  const std::vector<uint8_t> bytes = GrayTiff16Bytes(width, height, pages, pixelSize);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "wb"), &std::fclose);
  if (!file) RaiseErrorFmt<EInOutError>("Cannot create file \"%s\".", fileName.c_str());
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    RaiseErrorFmt<EInOutError>("Cannot write file \"%s\".", fileName.c_str());
  if (std::fclose(file.release()) != 0) RaiseErrorFmt<EInOutError>("Cannot write file \"%s\".", fileName.c_str());
}

}  // namespace orbelin
