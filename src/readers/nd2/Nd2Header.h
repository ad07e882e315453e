#pragma once
// Everything the ND2 reader learns from a file's chunk map and metadata
// chunks, in the terms of the stack model: sizes, loops, channels, positions,
// planes, optics, texts and per-sequence-step stage data.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Types.h"
#include "readers/framework/ChunkMap.h"
#include "readers/framework/StackModel.h"
#include "readers/nd2/Nd2TreeNavigator.h"

namespace orbelin {

class TStream;

// Nesting of the time, position and Z loops, outer first.
enum TNd2SequenceOrder : uint8_t {
  soNone = 0,
  soT = 1,
  soP = 2,
  soZ = 3,
  soTP = 4,
  soTZ = 5,
  soPT = 6,
  soPZ = 7,
  soZT = 8,
  soZP = 9,
  soTPZ = 10,
  soTZP = 11,
  soPTZ = 12,
  soPZT = 13,
  soZTP = 14,
  soZPT = 15,
};

enum TNd2LoopDimension : int { lpTime = 0, lpPosition = 1, lpPlane = 2 };

// The code after adding a loop to the current one; 0 when the nesting is not allowed.
uint8_t AddLoop(uint8_t order, TNd2LoopDimension loop);

// Index of the sequence step of (position, time point, plane).
int64_t SequenceIndex(uint8_t order, int64_t position, int64_t time, int64_t plane, int64_t timePoints,
                      int64_t positions, int64_t planes);

struct TNd2Channel {
  uint32_t Color = 0;  // 0x00BBGGRR
  std::string Name;
  float Wavelength = 0;
};

// Compression of the image-data chunks (eCompression 0 and 2).
enum TNd2CompressionMode : uint8_t { cmNoData = 0, cmUncompressed = 1, cmLossless = 2 };

struct TNd2Header {
  TChunkMap Map;
  std::vector<int> ImageDataChunks;  // map indices of the image-data chunks in map order

  int64_t SequenceCount = 0;
  int32_t Components = 0;  // channels interleaved in every stored pixel
  int32_t TimePoints = 1;
  int32_t Positions = 1;
  int32_t Planes = 1;
  uint8_t SequenceOrder = soNone;
  std::vector<int32_t> LevelTypes;  // 0 time, 1 position, 2 plane per loop, outer first

  int32_t Compression = 0;  // eCompression as stored
  uint8_t CompressionMode = cmNoData;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t StoredRowBytes = 0;  // uiWidthBytes: stride of a whole interleaved row
  int32_t BitsPerSample = 0;
  int32_t SignificantBits = 0;
  int32_t BytesPerSample = 0;
  uint8_t PixelType = 0;  // 0 = 8-bit, 1 = 16-bit unsigned
  float PixelWidth = 0;   // metres per pixel
  float PixelHeight = 0;

  std::vector<TNd2Channel> Channels;
  std::vector<std::string> PositionNames;
  TPointFs PositionXY;  // metres
  std::vector<float> PlanePositions;  // metres
  float PlaneSpacing = 0;
  std::vector<double> TimeStamps;
  double TimeInterval = 0;
  std::vector<std::pair<std::string, std::string>> TextInfo;
  TOpticalInfo Optics;

  // Per sequence step (empty when the file has no such custom data).
  std::vector<float> StageX, StageY, StageZ, AcquisitionTime;

  int64_t ImageCount() const { return static_cast<int64_t>(Components) * SequenceCount; }
  // Bytes of one sequence step's pixels with rows packed (no padding).
  int64_t PackedRowBytes() const { return int64_t{Width} * Components * BytesPerSample; }
  // Stride of the stored rows: uiWidthBytes when it covers a packed row, else packed.
  int64_t RowStride() const { return StoredRowBytes >= PackedRowBytes() ? StoredRowBytes : PackedRowBytes(); }
  int64_t ImageIndexOf(int64_t position, int64_t time, int64_t plane, int64_t channel) const {
    return SequenceIndex(SequenceOrder, position, time, plane, TimePoints, Positions, Planes) * Components + channel;
  }
};

// Result codes of ReadNd2Header besides raising.
constexpr int kNd2Success = 0;
constexpr int kNd2UnsupportedSampleSize = -10005;

// Parses the chunk map and the metadata of a chunked ND2 file. Raises
// ESciImageReaderError (or a stream error) for an unreadable file; returns
// kNd2UnsupportedSampleSize when samples are neither 8 nor 16 bits.
int ReadNd2Header(TStream& stream, TNd2Header& header, const TReportSink& report);

}  // namespace orbelin
