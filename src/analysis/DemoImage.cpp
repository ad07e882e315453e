#include "analysis/DemoImage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "analysis/CellsFile.h"
#include "foundation/Exceptions.h"
#include "readers/tiff/TiffWriter.h"

namespace orbelin {

namespace {

// xoshiro256** seeded through splitmix64: small, fast and the same on every
// platform, unlike the standard library's distributions.
class TDemoRandom {
public:
  explicit TDemoRandom(uint64_t seed) {
    for (auto& word : state_) {
      seed += 0x9E3779B97F4A7C15ull;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
  }

  uint64_t Next() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
  }

  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }

  // Standard normal by Box–Muller.
  double Gauss() {
    if (hasSpare_) {
      hasSpare_ = false;
      return spare_;
    }
    double u = 0;
    while (u <= 0) u = Uniform();
    const double radius = std::sqrt(-2.0 * std::log(u));
    const double angle = 2.0 * std::numbers::pi * Uniform();
    spare_ = radius * std::sin(angle);
    hasSpare_ = true;
    return radius * std::cos(angle);
  }

  // Poisson counts: exact for small means, the normal approximation above.
  double Poisson(double mean) {
    if (mean <= 0) return 0;
    if (mean >= 30) return std::max(0.0, std::nearbyint(mean + std::sqrt(mean) * Gauss()));
    const double limit = std::exp(-mean);
    double product = Uniform();
    double count = 0;
    while (product > limit) {
      product *= Uniform();
      count += 1;
    }
    return count;
  }

private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint64_t state_[4] = {};
  bool hasSpare_ = false;
  double spare_ = 0;
};

using TLayer = std::vector<float>;

// Geometry of one cell before it is drawn.
struct TCellPlan {
  TPointD centre;
  double radius = 0;
  TPointD nucleus;
  double axisA = 0;
  double axisB = 0;
  double tilt = 0;
  double polarity = 0;  // direction from the nucleus towards centrosome and Golgi
  double nucleusLevel = 0;
  double centrosomeLevel = 0;
  double golgiLevel = 0;
  double golgiPhase = 0;
};

constexpr double kCameraOffset = 100;
constexpr double kGain = 2;  // grey levels per photoelectron
constexpr double kBlurSigma = 1.0;
constexpr double kCentrosomeSigma = 1.3;
constexpr double kGolgiSigma = 1.6;
constexpr double kGolgiGap = 5;  // pixels between the nuclear rim and the ribbon's middle
constexpr double kGolgiHalfArc = 55 * std::numbers::pi / 180;
constexpr double kCentrosomeGap = 6;
constexpr int32_t kOutlineVertices = 36;
constexpr double kLargestCellRadius = 78;
constexpr double kSmallestCellRadius = 62;

// Distance from the ellipse centre to its rim in direction angle (image axes).
double EllipseRadius(const TCellPlan& cell, double angle) {
  const double t = angle - cell.tilt;
  const double c = std::cos(t) / cell.axisA;
  const double s = std::sin(t) / cell.axisB;
  return 1.0 / std::sqrt(c * c + s * s);
}

double WrapAngle(double angle) {
  while (angle > std::numbers::pi) angle -= 2 * std::numbers::pi;
  while (angle < -std::numbers::pi) angle += 2 * std::numbers::pi;
  return angle;
}

struct TBox {
  int32_t left, top, right, bottom;  // right and bottom exclusive
};

TBox ClipBox(double cx, double cy, double reach, int32_t width, int32_t height) {
  return {std::max(0, static_cast<int32_t>(std::floor(cx - reach))),
          std::max(0, static_cast<int32_t>(std::floor(cy - reach))),
          std::min(width, static_cast<int32_t>(std::ceil(cx + reach)) + 1),
          std::min(height, static_cast<int32_t>(std::ceil(cy + reach)) + 1)};
}

// The nucleus as a flat ellipse, each pixel weighted by its covered share (4 × 4 samples).
void DrawNucleus(const TCellPlan& cell, TLayer& layer, int32_t width, int32_t height) {
  const TBox box = ClipBox(cell.nucleus.x, cell.nucleus.y, cell.axisA + 2, width, height);
  const double cosT = std::cos(cell.tilt);
  const double sinT = std::sin(cell.tilt);
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double dx = x + (sx + 0.5) / 4 - 0.5 - cell.nucleus.x;
          const double dy = y + (sy + 0.5) / 4 - 0.5 - cell.nucleus.y;
          const double u = (dx * cosT + dy * sinT) / cell.axisA;
          const double v = (-dx * sinT + dy * cosT) / cell.axisB;
          if (u * u + v * v <= 1) ++inside;
        }
      layer[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] +=
          static_cast<float>(cell.nucleusLevel * inside / 16.0);
    }
}

TPointD CentrosomePosition(const TCellPlan& cell) {
  const double reach = EllipseRadius(cell, cell.polarity) + kCentrosomeGap;
  return {cell.nucleus.x + reach * std::cos(cell.polarity), cell.nucleus.y + reach * std::sin(cell.polarity)};
}

void DrawCentrosome(const TCellPlan& cell, const TPointD& at, TLayer& layer, int32_t width, int32_t height) {
  const TBox box = ClipBox(at.x, at.y, 5 * kCentrosomeSigma, width, height);
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      const double d2 = (x - at.x) * (x - at.x) + (y - at.y) * (y - at.y);
      layer[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] +=
          static_cast<float>(cell.centrosomeLevel * std::exp(-d2 / (2 * kCentrosomeSigma * kCentrosomeSigma)));
    }
}

// A ribbon hugging the nucleus on the centrosome's side, slightly uneven along
// its length and fading out at both ends. Returns its intensity-weighted centre.
TPointD DrawGolgi(const TCellPlan& cell, TLayer& layer, int32_t width, int32_t height) {
  const double reach = cell.axisA + kGolgiGap + 4 * kGolgiSigma;
  const TBox box = ClipBox(cell.nucleus.x, cell.nucleus.y, reach, width, height);
  double sum = 0, sumX = 0, sumY = 0;
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      const double dx = x - cell.nucleus.x;
      const double dy = y - cell.nucleus.y;
      const double angle = std::atan2(dy, dx);
      const double along = WrapAngle(angle - cell.polarity) / kGolgiHalfArc;  // -1..1 on the ribbon
      if (std::abs(along) >= 1) continue;
      const double across = std::hypot(dx, dy) - (EllipseRadius(cell, angle) + kGolgiGap);
      if (std::abs(across) > 4 * kGolgiSigma) continue;
      const double ends = std::min(1.0, (1 - std::abs(along)) * 4);
      const double uneven = 1 + 0.12 * std::sin(3 * std::numbers::pi * along + cell.golgiPhase);
      const double value = cell.golgiLevel * ends * uneven *
                           std::exp(-across * across / (2 * kGolgiSigma * kGolgiSigma));
      layer[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] +=
          static_cast<float>(value);
      sum += value;
      sumX += value * x;
      sumY += value * y;
    }
  return sum > 0 ? TPointD{sumX / sum, sumY / sum} : cell.nucleus;
}

TPoints CellOutline(const TCellPlan& cell, TDemoRandom& random) {
  const double phase1 = random.Uniform(0, 2 * std::numbers::pi);
  const double phase2 = random.Uniform(0, 2 * std::numbers::pi);
  TPoints outline;
  for (int32_t i = 0; i < kOutlineVertices; ++i) {
    const double angle = 2 * std::numbers::pi * i / kOutlineVertices;
    const double r = cell.radius * (1 + 0.07 * std::sin(3 * angle + phase1) + 0.04 * std::sin(5 * angle + phase2));
    outline.push_back({static_cast<int32_t>(std::nearbyint(cell.centre.x + r * std::cos(angle))),
                       static_cast<int32_t>(std::nearbyint(cell.centre.y + r * std::sin(angle)))});
  }
  return outline;
}

// Separable Gaussian blur, edges extended.
void Blur(TLayer& layer, int32_t width, int32_t height, double sigma) {
  const int radius = static_cast<int>(std::ceil(3 * sigma));
  std::vector<float> kernel(static_cast<size_t>(2 * radius + 1));
  double total = 0;
  for (int i = -radius; i <= radius; ++i) {
    const double weight = std::exp(-i * i / (2 * sigma * sigma));
    kernel[static_cast<size_t>(i + radius)] = static_cast<float>(weight);
    total += weight;
  }
  for (auto& k : kernel) k = static_cast<float>(k / total);
  const auto w = static_cast<size_t>(width);
  TLayer row(w);
  for (int32_t y = 0; y < height; ++y) {
    float* line = &layer[static_cast<size_t>(y) * w];
    std::copy(line, line + w, row.begin());
    for (int32_t x = 0; x < width; ++x) {
      float sum = 0;
      for (int i = -radius; i <= radius; ++i)
        sum += kernel[static_cast<size_t>(i + radius)] * row[static_cast<size_t>(std::clamp(x + i, 0, width - 1))];
      line[x] = sum;
    }
  }
  TLayer column(static_cast<size_t>(height));
  for (int32_t x = 0; x < width; ++x) {
    for (int32_t y = 0; y < height; ++y) column[static_cast<size_t>(y)] = layer[static_cast<size_t>(y) * w + static_cast<size_t>(x)];
    for (int32_t y = 0; y < height; ++y) {
      float sum = 0;
      for (int i = -radius; i <= radius; ++i)
        sum += kernel[static_cast<size_t>(i + radius)] * column[static_cast<size_t>(std::clamp(y + i, 0, height - 1))];
      layer[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = sum;
    }
  }
}

// Background gradient plus the blurred objects, then camera offset and shot noise.
TWordDynArray Expose(const TLayer& objects, int32_t width, int32_t height, double base, double slopeX, double slopeY,
                     TDemoRandom& random) {
  TWordDynArray plane(objects.size());
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      const double signal = base + slopeX * x / width + slopeY * y / height + objects[i];
      const double value = kCameraOffset + kGain * random.Poisson(signal / kGain);
      plane[i] = static_cast<uint16_t>(std::min(65535.0, value));
    }
  return plane;
}

}  // namespace

TDemoImage MakeDemoImage(const TDemoOptions& options) {
  if (options.Size < 64 || options.Size > kLargestDemoSize)
    RaiseErrorFmt<EArgumentOutOfRange>("Image size %d is outside 64..%d.", options.Size, kLargestDemoSize);
  if (options.CellCount < 1) RaiseErrorFmt<EArgumentOutOfRange>("Cell count %d is below 1.", options.CellCount);
  const int32_t size = options.Size;
  const int32_t columns = static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(options.CellCount))));
  const int32_t rows = (options.CellCount + columns - 1) / columns;
  const double slotWidth = static_cast<double>(size) / columns;
  const double slotHeight = static_cast<double>(size) / rows;
  const double radius = std::min(kLargestCellRadius, std::min(slotWidth, slotHeight) / 2 - 6);
  if (radius < kSmallestCellRadius)
    RaiseErrorFmt<EArgumentOutOfRange>("%d cells do not fit into a %dx%d image.", options.CellCount, size, size);

  TDemoRandom random(options.Seed);
  TDemoImage image;
  image.Width = size;
  image.Height = size;
  image.PixelSize = options.PixelSize;
  std::vector<TCellPlan> plans;
  for (int32_t i = 0; i < options.CellCount; ++i) {
    TCellPlan cell;
    const double slack = 0.5 * std::max(0.0, std::min(slotWidth, slotHeight) / 2 - 6 - radius);
    cell.centre = {(i % columns + 0.5) * slotWidth + random.Uniform(-slack, slack),
                   (i / columns + 0.5) * slotHeight + random.Uniform(-slack, slack)};
    cell.radius = radius * random.Uniform(0.93, 1.0);
    // Nuclei keep a realistic size (about 35 to 50 µm² at 0.15 µm per pixel) whatever the cell spacing.
    cell.axisA = random.Uniform(27, 31);
    cell.axisB = cell.axisA * random.Uniform(0.8, 0.95);
    cell.tilt = random.Uniform(0, std::numbers::pi);
    const double shift = radius * random.Uniform(0, 0.06);
    const double shiftAngle = random.Uniform(0, 2 * std::numbers::pi);
    cell.nucleus = {cell.centre.x + shift * std::cos(shiftAngle), cell.centre.y + shift * std::sin(shiftAngle)};
    cell.polarity = random.Uniform(-std::numbers::pi, std::numbers::pi);
    cell.nucleusLevel = random.Uniform(2600, 3400);
    cell.centrosomeLevel = random.Uniform(4500, 6500);
    cell.golgiLevel = random.Uniform(2200, 3000);
    cell.golgiPhase = random.Uniform(0, 2 * std::numbers::pi);

    TDemoCell truth;
    truth.Outline = CellOutline(cell, random);
    truth.NucleusCentre = cell.nucleus;
    truth.NucleusArea = std::numbers::pi * cell.axisA * cell.axisB;
    truth.Centrosome = CentrosomePosition(cell);
    image.Cells.push_back(std::move(truth));
    plans.push_back(cell);
  }

  // One channel at a time keeps a single float layer in memory. The optics
  // blur every channel alike; the centrosome spot has its own width besides.
  TLayer layer(static_cast<size_t>(size) * static_cast<size_t>(size));
  std::fill(layer.begin(), layer.end(), 0.0f);
  for (const auto& cell : plans) DrawNucleus(cell, layer, size, size);
  Blur(layer, size, size, kBlurSigma);
  image.Nuclei = Expose(layer, size, size, 300, 400, 200, random);

  std::fill(layer.begin(), layer.end(), 0.0f);
  for (size_t i = 0; i < plans.size(); ++i) DrawCentrosome(plans[i], image.Cells[i].Centrosome, layer, size, size);
  Blur(layer, size, size, kBlurSigma);
  image.Centrosomes = Expose(layer, size, size, 250, 150, 300, random);

  std::fill(layer.begin(), layer.end(), 0.0f);
  for (size_t i = 0; i < plans.size(); ++i) image.Cells[i].GolgiCentre = DrawGolgi(plans[i], layer, size, size);
  Blur(layer, size, size, kBlurSigma);
  image.Golgi = Expose(layer, size, size, 280, 300, 150, random);
  return image;
}

std::string DemoTruthText(const TDemoImage& image) {
  std::string text =
      "cell\tnucleus_x\tnucleus_y\tnucleus_area\tcentrosome_x\tcentrosome_y\tgolgi_x\tgolgi_y\n";
  char line[256];
  for (size_t i = 0; i < image.Cells.size(); ++i) {
    const TDemoCell& cell = image.Cells[i];
    std::snprintf(line, sizeof line, "%zu\t%.3f\t%.3f\t%.1f\t%.3f\t%.3f\t%.3f\t%.3f\n", i + 1, cell.NucleusCentre.x,
                  cell.NucleusCentre.y, cell.NucleusArea, cell.Centrosome.x, cell.Centrosome.y, cell.GolgiCentre.x,
                  cell.GolgiCentre.y);
    text += line;
  }
  return text;
}

void WriteDemoImage(const TDemoImage& image, const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder))
    RaiseErrorFmt<EInOutError>("Cannot create folder \"%s\".", folder.c_str());
  const fs::path base(folder);
  WriteGrayTiff16((base / kDemoNucleiFile).string(), image.Width, image.Height, {image.Nuclei}, image.PixelSize);
  WriteGrayTiff16((base / kDemoCentrosomeFile).string(), image.Width, image.Height, {image.Centrosomes},
                  image.PixelSize);
  WriteGrayTiff16((base / kDemoGolgiFile).string(), image.Width, image.Height, {image.Golgi}, image.PixelSize);

  TCellsFile cells;
  cells.Image = kDemoNucleiFile;
  for (const auto& cell : image.Cells) cells.Cells.push_back({0, cell.Outline, std::nullopt});
  WriteCellsFile((base / kDemoCellsFile).string(), cells);

  const std::string truthName = (base / kDemoTruthFile).string();
  std::ofstream truth(truthName, std::ios::binary);
  truth << DemoTruthText(image);
  truth.close();
  if (!truth) RaiseErrorFmt<EInOutError>("Cannot write file \"%s\".", truthName.c_str());
}

}  // namespace orbelin
