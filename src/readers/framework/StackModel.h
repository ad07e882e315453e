#pragma once
// The one model every microscope file is described by: a stack of 2-D images
// addressed by a 16-slot coordinate, with per-channel, per-image and optical
// descriptions. Readers fill it; the shell reads sizes and channels from it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/NamedStrings.h"
#include "foundation/ArrayOfStrings.h"
#include "foundation/Types.h"

namespace orbelin {

constexpr int kDimensionCount = 16;

// Fixed slots of a coordinate; slots not named here are unused.
enum TDimension : int {
  dimTime = 0,
  dimPosition = 1,
  dimPlane = 2,
  dimBlock = 4,
  dimMosaic = 5,
  dimPhase = 6,
  dimRotation = 7,
  dimIllumination = 8,
  dimView = 9,
  dimChannel = 15,
};

using TCoordinate = std::array<int32_t, kDimensionCount>;
using TDimensionSizes = std::array<int32_t, kDimensionCount>;
using TLevelTypes = std::vector<int32_t>;

enum TPixelType : uint8_t {
  ptUInt8 = 0,
  ptUInt16 = 1,
  ptUInt32 = 2,
  ptInt64 = 3,
  ptFloat32 = 5,
  ptComplex = 8,  // a pair of doubles: real, imaginary
};

// Sample width in bytes of a pixel type code (0..8); 0 for codes outside the table.
int PixelTypeBytes(int pixelType);

// What a file says of one channel; readers name it TSciImageReader::TChannelInfo.
struct TReaderChannelInfo {
  int32_t Color = 0;  // 0x00BBGGRR (CZI: as written in the file, 0xAARRGGBB)
  std::string Name;
  std::string Illumination;
  float Wavelength = 0;  // nanometres
};
using TReaderChannelInfos = std::vector<TReaderChannelInfo>;

// Channels whose samples are interleaved in one stored image.
struct TChannelGroup {
  int32_t First = 0;
  uint8_t Layout = 0;  // a TColorLayout code
  int32_t Count = 0;
};
using TChannelGroups = std::vector<TChannelGroup>;

struct TOpticalInfo {
  double AbsoluteTime = 0;
  float Angle = 0;
  float Calibration = 0;  // micrometres per pixel
  float Aspect = 0;
  std::string ObjectiveName;
  float ObjectiveMagnification = 0;
  float NumericalAperture = 0;
  float RefractiveIndex1 = 0;
  float RefractiveIndex2 = 0;
  float PinholeRadius = 0;
  float Zoom = 0;
  float ProjectiveMagnification = 0;
};

struct TStackInfo {
  int32_t LevelCount = 0;
  TLevelTypes LevelTypes;
  TDimensionSizes Sizes{};
  TDimensionSizes Origins{};
  int32_t ImageCount = 0;
  TReaderChannelInfos Channels;
  TArrayOfStrings PositionNames;
  TPointFs PositionXY;
  std::vector<float> PlanePositions;
  std::vector<double> TimeStamps;  // date-time values (days)
  double TimeInterval = 0;
  float PlaneSpacing = 0;
  tNamedStrings TextInfo;
  TChannelGroups ChannelGroups;
  TCardinalDynArray ChannelGroupOf;
  TOpticalInfo Optics;
};

struct TImageInfo {
  float StageX = 0;
  float StageY = 0;
  float StageZ = 0;
  float AcquisitionTime = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RowBytes = 0;  // 0 = rows packed
  float PixelWidth = 0;   // metres per pixel
  float PixelHeight = 0;
  int32_t OriginX = 0;
  int32_t OriginY = 0;
  uint8_t PixelType = ptUInt8;
  int32_t SignificantBits = 0;
  std::string FileName;  // empty = the reader's own file
  int32_t Compression = 0;
  int32_t SourceState = 0;  // -1 while no stored data supplies the image
  int32_t SourceEntry = 0;
  int32_t SourcePlane = 0;
  int32_t Component = 0;
  int32_t BitsPerSample = 0;
  int32_t PixelCount = 0;
  int32_t BytesPerSample = 0;
};
using TImageInfos = std::vector<TImageInfo>;

}  // namespace orbelin
