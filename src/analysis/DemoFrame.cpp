#include "analysis/DemoFrame.h"

#include <algorithm>
#include <memory>

#include "analysis/CellData.h"
#include "analysis/PlainCellShapes.h"

namespace orbelin {

void LoadDemoFrame(const TDemoImage& image, TChannelInfos& channels, TFrames& frames) {
  const struct {
    const char* name;
    const char* file;
    TDetectionAlgorithm kind;
    const TWordDynArray* plane;
  } layout[] = {{"B", kDemoNucleiFile, daNucleus, &image.Nuclei},
                {"G", kDemoGolgiFile, daGolgi, &image.Golgi},
                {"R", kDemoCentrosomeFile, daCentrosome, &image.Centrosomes}};
  channels.Clear();
  for (const auto& entry : layout) {
    TChannelInfo info;
    info.FileName = entry.file;
    info.Name = entry.name;
    info.Index = 0;
    info.Width = image.Width;
    info.Height = image.Height;
    info.PlaneCount = 1;
    info.TimePointCount = 1;
    info.PositionCount = 1;
    info.PixelSize = image.PixelSize;
    info.Algorithm = entry.kind;
    channels.Add(info);
  }
  frames.clear();
  SetFrameCount(frames, channels, 1);
  for (size_t c = 0; c < std::size(layout); ++c) frames[0].ChannelData[c].RawPlane = *layout[c].plane;
}

void AddDemoCells(const TDemoImage& image, TFrames& frames, size_t first, size_t count) {
  const size_t end = std::min(image.Cells.size(), first + count);
  for (size_t i = first; i < end; ++i)
    frames.at(0).AddCell(std::make_unique<TCellData>(std::make_unique<TPlainCellShapes>(image.Cells[i].Outline)));
}

}  // namespace orbelin
