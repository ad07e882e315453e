#include "readers/czi/CziStackBuilder.h"

#include <algorithm>
#include <limits>

#include "foundation/Exceptions.h"
#include "readers/framework/ChannelGroups.h"
#include "readers/framework/ColorLayout.h"

namespace orbelin {

namespace {

struct TEntryDimension {
  int Dimension;
  int32_t Start;
  int32_t Size;
};

struct TPlaneGeometry {
  int32_t X = 0, Width = 0, Y = 0, Height = 0;
  bool FullResolution = true;
  std::vector<TEntryDimension> Dims;  // mapped dimensions, first one varying fastest
};

TPlaneGeometry GeometryOf(const TDirectoryEntryDV& entry) {
  TPlaneGeometry geometry;
  for (const TCziDimensionEntry& d : entry.Dimensions) {
    if (d.Dimension == 'X') {
      geometry.X = d.Start;
      geometry.Width = d.EffectiveSize();
      geometry.FullResolution = d.FullResolution();
    } else if (d.Dimension == 'Y') {
      geometry.Y = d.Start;
      geometry.Height = d.EffectiveSize();
    } else if (const int index = CziDimensionIndex(d.Dimension); index >= 0) {
      const bool seen = std::any_of(geometry.Dims.begin(), geometry.Dims.end(),
                                    [&](const TEntryDimension& e) { return e.Dimension == index; });
      if (!seen) geometry.Dims.push_back({index, d.Start, d.EffectiveSize()});
    }
  }
  return geometry;
}

// Without sizes from the metadata every dimension spans what the directory covers.
void SizesFromDirectory(const std::vector<TPlaneGeometry>& geometries, const std::vector<TDirectoryEntryDV>& entries,
                        bool hasSizes, TStackInfo& stackInfo) {
  TDimensionSizes extent{};
  for (const TPlaneGeometry& geometry : geometries)
    for (const TEntryDimension& d : geometry.Dims) {
      const int64_t end = int64_t{d.Start} - stackInfo.Origins[d.Dimension] + std::max(d.Size, 1);
      extent[d.Dimension] = static_cast<int32_t>(std::clamp<int64_t>(end, extent[d.Dimension], kCziMaxImageCount));
    }
  if (!hasSizes) {
    int64_t images = 1;
    for (int d = 0; d < kDimensionCount; ++d) {
      if (d == dimChannel) continue;
      stackInfo.Sizes[d] = std::max(extent[d], 1);
      images = std::min(images * stackInfo.Sizes[d], kCziMaxImageCount + 1);
    }
    images = std::min(images * std::max(extent[dimChannel], 1), kCziMaxImageCount + 1);
    if (images > kCziMaxImageCount) RaiseError<ESciImageReaderError>("Too many images.");
    const int positions = stackInfo.Sizes[dimPosition];
    stackInfo.PositionNames.SetCount(positions);
    for (int p = 0; p < positions; ++p) stackInfo.PositionNames[p] = std::to_string(p + 1);
    stackInfo.PositionXY.assign(static_cast<size_t>(positions), TPointF{});
    stackInfo.TimeStamps.assign(static_cast<size_t>(stackInfo.Sizes[dimTime]), 0.0);
    stackInfo.PlanePositions.assign(static_cast<size_t>(stackInfo.Sizes[dimPlane]), 0.0f);
  }
  if (!stackInfo.ChannelGroups.empty()) return;
  // One group per channel value, laid out like the pixels of its first subblock.
  const int groups = std::max(extent[dimChannel], 1);
  SetChannelCount(stackInfo, groups);
  std::vector<bool> laidOut(static_cast<size_t>(groups), false);
  for (size_t e = 0; e < entries.size(); ++e) {
    int64_t g = 0;
    for (const TEntryDimension& d : geometries[e].Dims)
      if (d.Dimension == dimChannel) g = int64_t{d.Start} - stackInfo.Origins[dimChannel];
    if (g < 0 || g >= groups || laidOut[g]) continue;
    laidOut[g] = true;
    if (const TCziPixelTypeInfo* type = CziPixelTypeInfo(entries[e].PixelType); type && type->Components > 1)
      SetChannelLayout(stackInfo, static_cast<int>(g), type->Layout);
  }
  stackInfo.Channels.assign(static_cast<size_t>(groups), TReaderChannelInfo{});
  NameGroupedChannels(stackInfo);
}

}  // namespace

void BuildCziStack(const std::vector<TDirectoryEntryDV>& entries, bool hasSizes, const TCziScaling& scaling,
                   const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos,
                   std::vector<TZeissCziReader::TSubBlock>& subBlocks) {
  std::vector<TPlaneGeometry> geometries;
  geometries.reserve(entries.size());
  for (const TDirectoryEntryDV& entry : entries) geometries.push_back(GeometryOf(entry));

  stackInfo.LevelTypes.clear();
  if (!geometries.empty())
    for (const TEntryDimension& d : geometries[0].Dims) stackInfo.LevelTypes.push_back(d.Dimension);
  stackInfo.LevelCount = static_cast<int32_t>(stackInfo.LevelTypes.size());

  TDimensionSizes origins;
  origins.fill(std::numeric_limits<int32_t>::max());
  for (const TPlaneGeometry& geometry : geometries)
    for (const TEntryDimension& d : geometry.Dims) origins[d.Dimension] = std::min(origins[d.Dimension], d.Start);
  for (int d = 0; d < kDimensionCount; ++d)
    stackInfo.Origins[d] = origins[d] == std::numeric_limits<int32_t>::max() ? 0 : origins[d];

  SizesFromDirectory(geometries, entries, hasSizes, stackInfo);

  TDimensionSizes sizes = stackInfo.Sizes;
  for (int32_t& size : sizes) size = std::max(size, 1);
  int64_t imageCount = 1;
  for (int32_t size : sizes) imageCount = std::min(imageCount * size, kCziMaxImageCount * 4 + 1);
  if (imageCount > kCziMaxImageCount * 4) RaiseError<ESciImageReaderError>("Too many images.");
  imageInfos.assign(static_cast<size_t>(imageCount), TImageInfo{});
  for (TImageInfo& info : imageInfos) info.SourceState = -1;

  const TChannelGroups& groups = stackInfo.ChannelGroups;
  // Overlapping entries may visit images more than once, but not without bound.
  int64_t visitsLeft = kCziMaxImageCount * 2;
  subBlocks.assign(entries.size(), TZeissCziReader::TSubBlock{});
  for (size_t e = 0; e < entries.size(); ++e) {
    const TDirectoryEntryDV& entry = entries[e];
    const TPlaneGeometry& geometry = geometries[e];
    TZeissCziReader::TSubBlock& block = subBlocks[e];
    block.PixelType = entry.PixelType;
    block.FilePosition = entry.FilePosition;
    block.Compression = entry.Compression;
    block.PyramidType = entry.PyramidType;
    block.DimSizes.fill(1);
    int64_t planeCount = 1;
    for (const TEntryDimension& d : geometry.Dims) {
      block.Dims.push_back(d.Dimension);
      block.DimSizes[d.Dimension] = d.Size;
      planeCount = std::clamp<int64_t>(planeCount * std::max(d.Size, 0), 0, INT32_MAX);
    }
    block.PlaneCount = static_cast<int32_t>(planeCount);

    const TCziPixelTypeInfo* type = CziPixelTypeInfo(entry.PixelType);
    if (!type || geometry.Width <= 0 || geometry.Height <= 0 || planeCount == 0) continue;

    // Walk the coordinates the entry covers that lie inside the stack. The
    // plane number counts over all of them, the first dimension fastest.
    const size_t n = geometry.Dims.size();
    std::vector<int64_t> offset(n), limit(n), stride(n), index(n, 0);
    bool empty = false;
    int64_t step = 1;
    for (size_t k = 0; k < n; ++k) {
      const TEntryDimension& d = geometry.Dims[k];
      offset[k] = int64_t{d.Start} - stackInfo.Origins[d.Dimension];
      const int64_t room = d.Dimension == dimChannel ? static_cast<int64_t>(groups.size()) : sizes[d.Dimension];
      limit[k] = std::min<int64_t>(d.Size, room - offset[k]);
      stride[k] = step;
      // Plane numbers past INT32_MAX are never assigned, so strides saturate there.
      step = std::min<int64_t>(step * std::max(d.Size, 1), int64_t{INT32_MAX} + 1);
      if (limit[k] <= 0) empty = true;
    }
    if (empty) continue;
    TCoordinate coordinate{};
    for (;;) {
      if (--visitsLeft < 0) RaiseError<ESciImageReaderError>("Too many subblock planes.");
      int64_t plane = 0;
      for (size_t k = 0; k < n; ++k) {
        coordinate[geometry.Dims[k].Dimension] = static_cast<int32_t>(offset[k] + index[k]);
        plane += index[k] * stride[k];
      }
      const int g = coordinate[dimChannel];
      if (g >= 0 && static_cast<size_t>(g) < groups.size() && plane <= INT32_MAX &&
          groups[g].Count == type->Components) {
        for (int k = 0; k < groups[g].Count; ++k) {
          TCoordinate at = coordinate;
          at[dimChannel] = groups[g].First + k;
          int64_t image = at[0];
          for (int i = 1; i < kDimensionCount; ++i) image = image * sizes[i] + at[i];
          if (image < 0 || image >= imageCount) continue;
          TImageInfo& info = imageInfos[static_cast<size_t>(image)];
          if (info.SourceState != -1 && !(geometry.FullResolution && geometry.Width > info.Width)) continue;
          info.OriginX = geometry.X;
          info.OriginY = geometry.Y;
          info.PixelWidth = scaling.PixelWidth;
          info.PixelHeight = scaling.PixelHeight;
          info.Width = geometry.Width;
          info.Height = geometry.Height;
          info.FileName = fileName;
          info.SourceState = 0;
          info.SourceEntry = static_cast<int32_t>(e);
          info.SourcePlane = static_cast<int32_t>(plane);
          info.Component = k;
          info.PixelType = type->PixelType;
          info.Compression = entry.Compression;
        }
      }
      size_t k = 0;
      while (k < n && ++index[k] == limit[k]) index[k++] = 0;
      if (k == n) break;
    }
  }
}

}  // namespace orbelin
