#include "analysis/CellAnalyser.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "analysis/BackgroundSubtraction.h"
#include "analysis/CellData.h"
#include "analysis/CellMask.h"
#include "analysis/CiliumLength.h"
#include "analysis/DetectionParams.h"
#include "analysis/Mean3x3.h"
#include "analysis/MtocMarker.h"
#include "analysis/NucleusRelations.h"
#include "analysis/ObjectDetection.h"
#include "document/ImageSet.h"
#include "foundation/Exceptions.h"
#include "numeric/ArrayOps.h"
#include "numeric/Geometry.h"

namespace orbelin {

// Storage reused by every cell of every frame analysis; the cell mask only grows.
struct TCellAnalysisWork {
  TByteDynArray CellMask;
  TDetectionWork Detection;
  std::vector<TWordDynArray> ObjectImages;
  TNucleusContext Nucleus;
};

namespace {

bool IsAnalysed(TDetectionAlgorithm algorithm) {
  return algorithm != daNone && static_cast<int>(algorithm) < kDetectionAlgorithmCount;
}

// The outline's bounding rectangle enlarged by 3 pixels and clipped to the image.
TCellBox CellBoxOf(const TPoints& outline, int32_t width, int32_t height) {
  const TRect bounds = PolygonBounds(outline);
  const int64_t left = std::max<int64_t>(int64_t{bounds.left} - 3, 0);
  const int64_t top = std::max<int64_t>(int64_t{bounds.top} - 3, 0);
  const int64_t right = std::min<int64_t>(int64_t{bounds.right} + 3, width);
  const int64_t bottom = std::min<int64_t>(int64_t{bounds.bottom} + 3, height);
  TCellBox box;
  box.Left = static_cast<int32_t>(std::min<int64_t>(left, width));
  box.Top = static_cast<int32_t>(std::min<int64_t>(top, height));
  box.Width = static_cast<int32_t>(std::max<int64_t>(right - left, 0));
  box.Height = static_cast<int32_t>(std::max<int64_t>(bottom - top, 0));
  if (box.Width == 0 || box.Height == 0) box.Width = box.Height = 0;
  return box;
}

}  // namespace

TCellAnalyser::TCellAnalyser(TImageSet& set)
    : frames_(set.Frames()),
      channels_(set.Channels()),
      loadFrame_([&set](int32_t frame) { set.PrepareFrame(frame); }),
      currentFrame_([&set] { return set.CurrentFrame(); }),
      work_(std::make_unique<TCellAnalysisWork>()) {}

TCellAnalyser::TCellAnalyser(TFrames& frames, const TChannelInfos& channels,
                             std::function<void(int32_t frame)> loadFrame)
    : frames_(frames),
      channels_(channels),
      loadFrame_(std::move(loadFrame)),
      work_(std::make_unique<TCellAnalysisWork>()) {}

TCellAnalyser::~TCellAnalyser() = default;

bool TCellAnalyser::AnalyseFrame(int32_t frame, bool force) {
  if (frame < 0 || static_cast<size_t>(frame) >= frames_.size()) return false;
  TFrame& data = frames_[static_cast<size_t>(frame)];
  if (data.Cells.empty()) {
    data.Analysed = true;
    return false;
  }
  if (loadFrame_) loadFrame_(frame);
  PreparePlanes(data, force);
  const int32_t shown = currentFrame_ ? currentFrame_() : shownFrame_;
  for (auto& cell : data.Cells)
    if (auto* cellData = dynamic_cast<TCellData*>(cell.get()))
      AnalyseCell(data, *cellData, frame == shown, force);
  data.Analysed = true;
  return true;
}

void TCellAnalyser::PreparePlanes(TFrame& frame, bool force) {
  const int32_t count = channels_.Count();
  if (frame.ChannelData.size() < static_cast<size_t>(count)) {
    const size_t first = frame.ChannelData.size();
    frame.ChannelData.resize(static_cast<size_t>(count));
    for (size_t i = first; i < frame.ChannelData.size(); ++i) frame.ChannelData[i].Initialise();
  }
  if (count == 0) return;
  const int32_t width = channels_[0].Width, height = channels_[0].Height;
  const double pixelSize = channels_[0].PixelSize;
  const size_t maskWords = (static_cast<size_t>(std::max(width, 0)) + 15) / 16 *
                           static_cast<size_t>(std::max(height, 0));
  for (int32_t c = 0; c < count; ++c) {
    TChannelData& channel = frame.ChannelData[static_cast<size_t>(c)];
    const TDetectionAlgorithm algorithm = channels_[c].Algorithm;
    if (!IsAnalysed(algorithm)) {
      channel.ProcessedPlane.clear();
      channel.MaskPlane.clear();
      continue;
    }
    const TDetectionParams& params = DetectionParams[algorithm];
    const int32_t radius = BackgroundRadius(params, pixelSize);
    const uint8_t smooth = params.Smooth ? 1 : 0;
    if (channel.ProcessedPlane.empty() || channel.SmoothingUsed != smooth ||
        channel.BackgroundRadiusUsed != radius) {
      if (width <= 0 || height <= 0 ||
          channel.RawPlane.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        RaiseError<EMathError>("Arrays have different sizes.");
      channel.SmoothingUsed = smooth;
      channel.BackgroundRadiusUsed = radius;
      if (params.BackgroundSize > 0 && params.Smooth)
        Mean3x3(channel.ProcessedPlane, channel.RawPlane, width, height);
      else
        AssignCopy(channel.ProcessedPlane, channel.RawPlane);
      if (params.BackgroundSize > 0) SubtractBackground(channel.ProcessedPlane, width, height, radius);
    }
    channel.MaskPlane.resize(maskWords, 0);
    if (force) FillWords(channel.MaskPlane, 0);
  }
}

void TCellAnalyser::AnalyseCell(TFrame& frame, TCellData& cell, bool shown, bool force) {
  if (!cell.NeedsAnalysis && !force) return;
  cell.NeedsAnalysis = false;
  const int32_t count = channels_.Count();
  cell.ResizeArrays(count);
  if (count == 0) return;
  TCellAnalysisWork& work = *work_;
  const TAlgorithmChannels kinds = channels_.AlgorithmChannels();

  const TPoints& outline = cell.OutlinePoints();
  TCellContext context;
  context.ImageWidth = channels_[0].Width;
  context.ImageHeight = channels_[0].Height;
  context.PixelSize = channels_[0].PixelSize;
  context.Centre = PolygonCentroidRounded(outline);
  context.Outline = &outline;
  context.Box = CellBoxOf(outline, context.ImageWidth, context.ImageHeight);
  const TCellBox& box = context.Box;
  RasterizeCellMask(work.CellMask, box.Width, box.Height, outline, -box.Left, -box.Top);
  context.CellMask = work.CellMask.data();

  work.ObjectImages.resize(static_cast<size_t>(count));
  auto detect = [&](int32_t c) {
    TChannelData& channel = frame.ChannelData[static_cast<size_t>(c)];
    DetectObjects(work.Detection, context, DetectionParams[channels_[c].Algorithm], channel.ProcessedPlane,
                  channel.MaskPlane, work.ObjectImages[static_cast<size_t>(c)], cell, c);
  };

  const int32_t nucleus = kinds[daNucleus];
  if (nucleus >= 0) {
    detect(nucleus);
    PrepareNucleus(work.Nucleus, work.ObjectImages[static_cast<size_t>(nucleus)], box,
                   cell.Centroid[static_cast<size_t>(nucleus)]);
  }
  for (int32_t c = 0; c < count; ++c) {
    const TDetectionAlgorithm algorithm = channels_[c].Algorithm;
    if (c == nucleus || !IsAnalysed(algorithm)) continue;
    detect(c);
    const TWordDynArray& objects = work.ObjectImages[static_cast<size_t>(c)];
    if (algorithm == daCilium) cell.CiliumLength[static_cast<size_t>(c)] = CiliumLength(objects, box.Width);
    if (nucleus >= 0)
      RelateToNucleus(work.Nucleus, work.ObjectImages[static_cast<size_t>(nucleus)], objects, box, cell, c);
  }

  const int32_t centrosome = kinds[daCentrosome];
  if (centrosome >= 0)
    PlaceMtocMarker(cell, centrosome, shown);
  else
    cell.Shapes().RemoveMarker();
}

}  // namespace orbelin
