#include "readers/nd2/Nd2Header.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "readers/nd2/Nd2ChunkMap.h"
#include "readers/nd2/Nd2LVTree.h"
#include "readers/nd2/Nd2XMLTree.h"

namespace orbelin {

namespace {

constexpr double kMicro = 1e-6;

// zlib never expands more than about 1032 to 1, so a frame larger than this
// multiple of the file cannot be stored in it.
constexpr int64_t kMaxInflation = 1032;

constexpr uint64_t kMaxComponents = 1024;

// The metadata item under its LV name, else its XML name; null when neither is there.
std::unique_ptr<TND2TreeNavigator> LoadMetadata(TStream& stream, const TChunkMap& map, const std::string& lvName,
                                                const std::string& xmlName, const TReportSink& report) {
  std::unique_ptr<TND2TreeNavigator> tree;
  int index = FindChunk(map, lvName);
  if (index >= 0) {
    tree = std::make_unique<TND2LVTree>(report);
  } else {
    index = FindChunk(map, xmlName);
    if (index < 0) return nullptr;
    tree = std::make_unique<TND2XMLTree>(report);
  }
  const TNd2ChunkHeader chunk = ReadNd2ChunkHeader(stream, map[static_cast<size_t>(index)].Position);
  tree->Load(stream, static_cast<int64_t>(chunk.DataLength), chunk.DataStart);
  return tree;
}

int32_t CheckedInt32(uint64_t value, const char* name) {
  if (value > static_cast<uint64_t>(INT32_MAX))
    RaiseErrorFmt<ESciImageReaderError>("\"%s\" is out of range.", name);
  return static_cast<int32_t>(value);
}

// A loop cannot hold more items than the file has bytes; a larger count is forged.
int32_t CheckedLoopCount(uint64_t count, const TStream& stream) {
  if (count > static_cast<uint64_t>(stream.Size()))
    RaiseErrorFmt<ESciImageReaderError>("Loop count (%llu) is larger than the file.", static_cast<unsigned long long>(count));
  return static_cast<int32_t>(std::min<uint64_t>(count, INT32_MAX));
}

void ReadImageAttributes(TStream& stream, TNd2Header& header, const TReportSink& report) {
  auto tree = LoadMetadata(stream, header.Map, "ImageAttributesLV", "ImageAttributes", report);
  if (!tree) RaiseError<ESciImageReaderError>("Cannot found the chunk of Image Attributes.");
  const uint64_t components = tree->ReadUInt64("uiComp");
  const uint64_t sequenceCount = tree->ReadUInt64("uiSequenceCount");
  // Image infos are made for every component of every sequence step, so both
  // counts are bounded before anything is sized by them: no instrument stores
  // more than kMaxComponents samples per pixel, and each step needs its chunk.
  if (components == 0 || components > kMaxComponents || sequenceCount > header.ImageDataChunks.size())
    RaiseErrorFmt<ESciImageReaderError>("Invalid image attributes: %llu components, %llu sequences.",
                                        static_cast<unsigned long long>(components),
                                        static_cast<unsigned long long>(sequenceCount));
  header.Components = static_cast<int32_t>(components);
  header.SequenceCount = static_cast<int64_t>(sequenceCount);
  header.Compression = static_cast<int32_t>(tree->ReadInt64("eCompression"));
  header.Width = CheckedInt32(tree->ReadUInt64("uiWidth"), "uiWidth");
  header.StoredRowBytes = CheckedInt32(tree->ReadUInt64("uiWidthBytes"), "uiWidthBytes");
  header.Height = CheckedInt32(tree->ReadUInt64("uiHeight"), "uiHeight");
  header.BitsPerSample = static_cast<int32_t>(tree->ReadInteger("uiBpcInMemory"));
  header.SignificantBits = static_cast<int32_t>(tree->ReadInteger("uiBpcSignificant"));
  if (header.Compression == 0) {
    header.CompressionMode = cmLossless;
  } else if (header.Compression == 2) {
    header.CompressionMode = cmUncompressed;
  } else {
    RaiseErrorFmt<ESciImageReaderError>("Unknown compression type: %d.", header.Compression);
  }
}

void ReadTextInfo(TStream& stream, TNd2Header& header, const TReportSink& report) {
  static constexpr const char* kNames[] = {"ImageID",  "ImageType", "Group",      "SampleID", "Author",
                                           "Description", "Capturing", "Sampling", "Location", "Date",
                                           "Conclusion", "Info1",  "Info2",      "Optics"};
  auto tree = LoadMetadata(stream, header.Map, "ImageTextInfoLV", "ImageTextInfo", report);
  if (!tree) return;
  for (int k = 0; k < 14; ++k)
    header.TextInfo.emplace_back(kNames[k], tree->ReadStringDef(FormatText("TextInfoItem_%d", k), ""));
}

void ReadFirstSequence(TStream& stream, TNd2Header& header, const TReportSink& report) {
  auto tree = LoadMetadata(stream, header.Map, "ImageMetadataSeqLV|0", "ImageMetadataSeq|0", report);
  if (!tree) RaiseError<ESciImageReaderError>("Cannot found the chunk of Image MetaData Seq 0.");
  TOpticalInfo& optics = header.Optics;
  const auto single = [&](const char* name) { return static_cast<float>(tree->ReadFloatDef(name, 0)); };
  optics.AbsoluteTime = tree->ReadFloatDef("dTimeAbsolute", 0);
  optics.Angle = single("dAngle");
  optics.Calibration = single("dCalibration");
  optics.Aspect = single("dAspect");
  optics.ObjectiveMagnification = single("dObjectiveMag");
  optics.NumericalAperture = single("dObjectiveNA");
  optics.RefractiveIndex1 = single("dRefractIndex1");
  optics.RefractiveIndex2 = single("dRefractIndex2");
  optics.PinholeRadius = single("dPinholeRadius");
  optics.Zoom = single("dZoom");
  optics.ProjectiveMagnification = single("dProjectiveMag");
  optics.ObjectiveName = tree->ReadStringDef("wsObjectiveName", "");

  const int channels = header.Components;
  header.Channels.assign(static_cast<size_t>(channels), TNd2Channel{});
  header.PixelWidth = static_cast<float>(optics.Calibration * kMicro);
  header.PixelHeight = header.PixelWidth;

  tree->EnterChild("sPicturePlanes");
  tree->ReadUInt64("uiCount");
  tree->EnterChild(tree->HasChild("sPlaneNew") ? "sPlaneNew" : "sPlane");
  tree->Mark();
  int j = 0;
  for (int p = 0; j < channels; ++p) {
    const std::string plane = FormatText("a%d", p);
    tree->EnterChild(plane);
    const uint64_t components = tree->ReadUInt64("uiCompCount");
    for (uint64_t c = 0; c < components && j < channels; ++c) {
      tree->ReturnToMark();
      tree->EnterChild(plane);
      TNd2Channel& channel = header.Channels[static_cast<size_t>(j)];
      channel.Color = static_cast<uint32_t>(tree->ReadUInt64Def("uiColor", 0));
      channel.Name = tree->ReadStringDef("sDescription", "");
      channel.Wavelength = 0;
      if (tree->EnterPath({"pFilterPath", "m_pFilter", "m_EmissionSpectrum", "pPoint", "Point0"}))
        channel.Wavelength = static_cast<float>(tree->ReadFloatDef("dWavelength", 0));
      ++j;
    }
    tree->ReturnToMark();
  }
}

// Keeps the items whose flag is set, moving later ones down.
template <class T>
void DropInvalid(std::vector<T>& items, const std::vector<bool>& valid) {
  size_t kept = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i < valid.size() && !valid[i]) continue;
    if (kept != i) items[kept] = std::move(items[i]);
    ++kept;
  }
  items.resize(kept);
}

void AddLoopOrRaise(TNd2Header& header, TNd2LoopDimension loop) {
  const uint8_t order = AddLoop(header.SequenceOrder, loop);
  if (order == 0) RaiseError<ESciImageReaderError>("Invalid Sequence order.");
  header.SequenceOrder = order;
}

void ReadExperiment(TStream& stream, TNd2Header& header, const TReportSink& report) {
  header.TimePoints = 1;
  header.Positions = 1;
  header.Planes = 1;
  header.PositionNames.assign(1, std::string());
  header.PositionXY.assign(1, TPointF{});
  header.SequenceOrder = soNone;
  auto tree = LoadMetadata(stream, header.Map, "ImageMetadataLV", "ImageMetadata", report);
  if (!tree) return;
  for (int level = 0;; ++level) {
    header.LevelTypes.resize(static_cast<size_t>(level) + 1, 0);
    tree->Mark();
    const uint64_t type = tree->ReadUInt64("eType");
    if (type == 1 || type == 8) {
      AddLoopOrRaise(header, lpTime);
      header.LevelTypes.back() = lpTime;
      tree->EnterChild("uLoopPars");
      const int32_t count = CheckedLoopCount(tree->ReadUInt64("uiCount"), stream);
      tree->Leave();
      const std::vector<bool> valid = tree->ReadItemValid(count);
      const auto dropped = static_cast<int32_t>(std::count(valid.begin(), valid.end(), false));
      header.TimePoints = std::max(0, count - dropped);
    } else if (type == 2) {
      AddLoopOrRaise(header, lpPosition);
      header.LevelTypes.back() = lpPosition;
      tree->EnterChild("uLoopPars");
      const int32_t count = CheckedLoopCount(tree->ReadUInt64("uiCount"), stream);
      header.PositionNames.assign(static_cast<size_t>(count), std::string());
      header.PositionXY.assign(static_cast<size_t>(count), TPointF{});
      if (tree->HasChild("Points")) {
        tree->EnterList("Points");
        for (int32_t i = 0; i < count; ++i) {
          tree->EnterChildAt(i);
          header.PositionNames[static_cast<size_t>(i)] = tree->ReadString("dPosName");
          header.PositionXY[static_cast<size_t>(i)].x = static_cast<float>(tree->ReadFloat("dPosX") * kMicro);
          header.PositionXY[static_cast<size_t>(i)].y = static_cast<float>(tree->ReadFloat("dPosY") * kMicro);
          tree->Leave();
        }
        tree->LeaveList();
      } else {
        tree->EnterList("pPosName");
        for (int32_t i = 0; i < count; ++i)
          header.PositionNames[static_cast<size_t>(i)] = tree->ReadString(FormatText("item_%.5d", i));
        tree->LeaveList();
      }
      tree->Leave();
      const std::vector<bool> valid = tree->ReadItemValid(count);
      DropInvalid(header.PositionNames, valid);
      DropInvalid(header.PositionXY, valid);
      header.Positions = static_cast<int32_t>(header.PositionNames.size());
    } else if (type == 4) {
      AddLoopOrRaise(header, lpPlane);
      header.LevelTypes.back() = lpPlane;
      tree->EnterChild("uLoopPars");
      const int32_t count = CheckedLoopCount(tree->ReadUInt64("uiCount"), stream);
      header.PlaneSpacing = static_cast<float>(tree->ReadFloat("dZStep") * kMicro);
      const float low = static_cast<float>(tree->ReadFloat("dZLow") * kMicro);
      tree->Leave();
      header.PlanePositions.resize(static_cast<size_t>(count));
      for (int32_t i = 0; i < count; ++i)
        header.PlanePositions[static_cast<size_t>(i)] = i == 0 ? low : header.PlanePositions[static_cast<size_t>(i) - 1] + header.PlaneSpacing;
      DropInvalid(header.PlanePositions, tree->ReadItemValid(count));
      header.Planes = static_cast<int32_t>(header.PlanePositions.size());
    } else if (type != 6) {
      RaiseErrorFmt<ESciImageReaderError>("Unknown loop time %d", static_cast<int>(type));
    }
    tree->ReturnToMark();
    if (!tree->HasChild("ppNextLevelEx")) break;
    tree->EnterList("ppNextLevelEx");
    if (tree->ChildCount() == 0) break;
    // The next level is the list's single element, normally unnamed; some
    // writers name it, so a named one is taken as well.
    try {
      tree->EnterUnnamed();
    } catch (const ESciImageReaderError&) {
      tree->EnterList(tree->ChildName(0));
    }
  }
}

void CheckConsistency(const TNd2Header& header) {
  const int64_t product = int64_t{header.TimePoints} * header.Planes * header.Positions;
  if (product < 0 || product != header.SequenceCount)
    RaiseErrorFmt<ESciImageReaderError>(
        "Mismatch sequence number: Time * Plane * Position * Color = %d * %d * %d * %d = %lld <> %lld",
        header.TimePoints, header.Planes, header.Positions, header.Components,
        static_cast<long long>(product * header.Components), static_cast<long long>(header.ImageCount()));
}

void ReadCustomData(TStream& stream, TNd2Header& header, const TReportSink& report) {
  struct Item {
    const char* name;
    std::vector<float>* values;
  };
  const Item items[] = {{"CustomData|X", &header.StageX},
                        {"CustomData|Y", &header.StageY},
                        {"CustomData|Z", &header.StageZ},
                        {"CustomData|AcqTimesCache", &header.AcquisitionTime}};
  for (const Item& item : items) {
    try {
      const int index = FindChunk(header.Map, item.name);
      if (index < 0) continue;
      const TNd2ChunkHeader chunk = ReadNd2ChunkHeader(stream, header.Map[static_cast<size_t>(index)].Position);
      if (chunk.DataLength != 8 * static_cast<uint64_t>(header.SequenceCount)) {
        if (report) report(FormatText("%s size mismatch.", item.name));
        continue;
      }
      if (header.SequenceCount == 0) continue;
      std::vector<double> raw(static_cast<size_t>(header.SequenceCount));
      if (stream.ReadAt(chunk.DataStart, raw.data(), chunk.DataLength) != chunk.DataLength) continue;
      item.values->resize(raw.size());
      for (size_t s = 0; s < raw.size(); ++s) (*item.values)[s] = static_cast<float>(raw[s] * kMicro);
    } catch (const std::exception&) {
      item.values->clear();
    }
  }
}

void FillTimeStamps(TNd2Header& header) {
  header.TimeStamps.assign(static_cast<size_t>(header.TimePoints), 0.0);
  for (int32_t t = 0; t < header.TimePoints; ++t) {
    const int64_t step = SequenceIndex(header.SequenceOrder, 0, t, 0, header.TimePoints, header.Positions, header.Planes);
    if (step >= 0 && step < static_cast<int64_t>(header.AcquisitionTime.size()))
      header.TimeStamps[static_cast<size_t>(t)] = header.AcquisitionTime[static_cast<size_t>(step)];
  }
  header.TimeInterval = header.TimePoints < 2
                            ? 0
                            : (header.TimeStamps.back() - header.TimeStamps.front()) / (header.TimePoints - 1);
}

}  // namespace

uint8_t AddLoop(uint8_t order, TNd2LoopDimension loop) {
  static constexpr uint8_t kTable[10][3] = {{1, 2, 3}, {0, 4, 5}, {6, 0, 7}, {8, 9, 0}, {0, 0, 10},
                                            {0, 11, 0}, {0, 0, 12}, {13, 0, 0}, {0, 14, 0}, {15, 0, 0}};
  if (order >= 10) return 0;
  return kTable[order][loop];
}

int64_t SequenceIndex(uint8_t order, int64_t p, int64_t t, int64_t z, int64_t s0, int64_t s1, int64_t s2) {
  switch (order) {
    case soT: return t;
    case soP: return p;
    case soZ: return z;
    case soTP: return s1 * t + p;
    case soTZ: return s2 * t + z;
    case soPT: return s0 * p + t;
    case soPZ: return s2 * p + z;
    case soZT: return s0 * z + t;
    case soZP: return s1 * z + p;
    case soTPZ: return (s1 * t + p) * s2 + z;
    case soTZP: return (s2 * t + z) * s1 + p;
    case soPTZ: return (s0 * p + t) * s2 + z;
    case soPZT: return (s2 * p + z) * s0 + t;
    case soZTP: return (s0 * z + t) * s1 + p;
    case soZPT: return (s1 * z + p) * s0 + t;
    default: return 0;
  }
}

int ReadNd2Header(TStream& stream, TNd2Header& header, const TReportSink& report) {
  header = TNd2Header{};
  header.Map = ReadNd2ChunkEntries(stream, report);
  header.ImageDataChunks = ClassifyNd2Chunks(header.Map, report);
  ReadImageAttributes(stream, header, report);
  if (header.BitsPerSample == 8) {
    header.PixelType = 0;
  } else if (header.BitsPerSample == 16) {
    header.PixelType = 1;
  } else {
    return kNd2UnsupportedSampleSize;
  }
  header.BytesPerSample = (header.BitsPerSample + 7) / 8;
  const int64_t frameBytes = header.RowStride() * header.Height;
  if (header.Width <= 0 || header.Height <= 0 || frameBytes / kMaxInflation > stream.Size())
    RaiseErrorFmt<ESciImageReaderError>("Image size %d x %d does not fit the file.", header.Width, header.Height);
  ReadTextInfo(stream, header, report);
  ReadFirstSequence(stream, header, report);
  ReadExperiment(stream, header, report);
  header.LevelTypes.shrink_to_fit();
  CheckConsistency(header);
  ReadCustomData(stream, header, report);
  FillTimeStamps(header);
  return kNd2Success;
}

}  // namespace orbelin
