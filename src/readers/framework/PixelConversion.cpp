#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "numeric/ArrayOps.h"
#include "readers/framework/SciImageReader.h"

namespace orbelin {

int PixelTypeBytes(int pixelType) {
  static constexpr int kBytes[] = {1, 2, 4, 8, 2, 4, 8, 8, 16};
  return pixelType >= 0 && pixelType < 9 ? kBytes[pixelType] : 0;
}

namespace {

// Maps the finite values of a floating or 64-bit image linearly from their
// minimum–maximum onto 0..65535, rounding halves up; a flat image becomes 0
// when it is 0 and 65535 otherwise. Values that are not finite become 0.
template <class Sample, class Value>
void StretchTo16(const uint8_t* bytes, size_t count, Value (*valueOf)(const uint8_t*), uint16_t* out) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (size_t i = 0; i < count; ++i) {
    const double v = static_cast<double>(valueOf(bytes + i * sizeof(Sample)));
    if (!std::isfinite(v)) continue;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  if (!(low <= high)) {
    std::memset(out, 0, count * sizeof(uint16_t));
    return;
  }
  const double range = high - low;
  for (size_t i = 0; i < count; ++i) {
    const double v = static_cast<double>(valueOf(bytes + i * sizeof(Sample)));
    if (!std::isfinite(v)) {
      out[i] = 0;
    } else if (range == 0) {
      out[i] = v == 0 ? 0 : 65535;
    } else {
      const double scaled = std::floor((v - low) * 65535.0 / range + 0.5);
      out[i] = static_cast<uint16_t>(scaled < 0 ? 0 : scaled > 65535 ? 65535 : scaled);
    }
  }
}

float FloatAt(const uint8_t* p) {
  float v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

double MagnitudeAt(const uint8_t* p) {
  double re, im;
  std::memcpy(&re, p, sizeof re);
  std::memcpy(&im, p + sizeof re, sizeof im);
  return std::hypot(re, im);
}

// 64-bit integers follow the rules of the 32-bit stretch: values below 256
// (and not negative) are kept, a flat image becomes 65535, the rest stretch.
void Int64To16(const uint8_t* bytes, size_t count, uint16_t* out) {
  if (count == 0) return;
  int64_t low = INT64_MAX, high = INT64_MIN;
  for (size_t i = 0; i < count; ++i) {
    int64_t v;
    std::memcpy(&v, bytes + i * 8, 8);
    if (v < low) low = v;
    if (v > high) high = v;
  }
  const long double range = static_cast<long double>(high) - static_cast<long double>(low);
  for (size_t i = 0; i < count; ++i) {
    int64_t v;
    std::memcpy(&v, bytes + i * 8, 8);
    if (low >= 0 && high < 256) {
      out[i] = static_cast<uint16_t>(v);
    } else if (low == high) {
      out[i] = 65535;
    } else {
      const long double scaled =
          std::floor((static_cast<long double>(v) - static_cast<long double>(low)) * 65535.0L / range + 0.5L);
      out[i] = static_cast<uint16_t>(scaled > 65535 ? 65535 : scaled);
    }
  }
}

}  // namespace

void ConvertTo16(const TByteDynArray& data, int pixelType, TWordDynArray& plane) {
  const int width = PixelTypeBytes(pixelType);
  const size_t count = width > 0 ? data.size() / static_cast<size_t>(width) : 0;
  // Every branch below writes all count samples, so the plane is only resized.
  plane.resize(count);
  if (count == 0) return;
  switch (pixelType) {
    case ptUInt8:
      for (size_t i = 0; i < count; ++i) plane[i] = data[i];
      break;
    case ptUInt16:
      std::memcpy(plane.data(), data.data(), count * 2);
      break;
    case ptUInt32: {
      std::vector<uint32_t> wide(count);
      std::memcpy(wide.data(), data.data(), count * 4);
      NarrowTo16(wide.data(), plane.data(), count, 4);
      break;
    }
    case ptInt64:
      Int64To16(data.data(), count, plane.data());
      break;
    case ptFloat32:
      StretchTo16<float>(data.data(), count, &FloatAt, plane.data());
      break;
    case ptComplex:
      StretchTo16<double[2]>(data.data(), count, &MagnitudeAt, plane.data());
      break;
    default:
      std::fill(plane.begin(), plane.end(), 0);  // no reader delivers the remaining codes
      break;
  }
}

}  // namespace orbelin
