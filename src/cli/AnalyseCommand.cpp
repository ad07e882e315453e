// orbelin-cli analyse: the measurement table of hand-drawn cells, without the windows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/CellAnalyser.h"
#include "analysis/CellData.h"
#include "analysis/CellsFile.h"
#include "analysis/MeasurementTable.h"
#include "analysis/PlainCellShapes.h"
#include "cli/Commands.h"
#include "document/ChannelFiles.h"
#include "document/ImageSet.h"
#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "foundation/StringHelpers.h"
#include "readers/tiff/TiffImage.h"

namespace orbelin::cli {

namespace {

const char* const kUsage =
    "usage: orbelin-cli analyse FILE... --cells cells.json [--kind NAME_OR_INDEX=KIND ...] [--by-cell] [--out table.tsv]\n"
    "  --cells FILE          the cell outlines (JSON); FILE... may be left out when it names the image\n"
    "  --kind CHANNEL=KIND   assign a kind to a channel given by name or index (from 0);\n"
    "                        KIND is nucleus, centrosome, golgi, cilium, vesicles or none\n"
    "  --by-cell             one row per cell instead of one row per measurement\n"
    "  --out FILE            write the table there instead of to standard output\n";

struct TKindOverride {
  std::string channel;
  TDetectionAlgorithm kind = daNone;
};

struct TAnalyseOptions {
  std::vector<std::string> files;
  std::string cells;
  std::vector<TKindOverride> kinds;
  bool byCell = false;
  std::string out;
};

bool ParseKindName(const std::string& text, TDetectionAlgorithm& kind) {
  static const struct {
    const char* name;
    TDetectionAlgorithm kind;
  } kKinds[] = {{"none", daNone},       {"nucleus", daNucleus}, {"centrosome", daCentrosome}, {"mtoc", daCentrosome},
                {"golgi", daGolgi},     {"cilium", daCilium},   {"vesicles", daVesicles}};
  for (const auto& entry : kKinds)
    if (SameText(text, entry.name)) {
      kind = entry.kind;
      return true;
    }
  return false;
}

bool ParseOptions(const TArguments& arguments, TAnalyseOptions& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--cells" && hasValue) {
      options.cells = arguments[++i];
    } else if (argument == "--kind" && hasValue) {
      const std::string& value = arguments[++i];
      const size_t equals = value.rfind('=');
      TKindOverride entry;
      if (equals == std::string::npos || equals == 0 || !ParseKindName(value.substr(equals + 1), entry.kind)) {
        std::fprintf(stderr, "orbelin-cli analyse: \"%s\" is not CHANNEL=KIND\n", value.c_str());
        return false;
      }
      entry.channel = value.substr(0, equals);
      options.kinds.push_back(entry);
    } else if (argument == "--by-cell") {
      options.byCell = true;
    } else if (argument == "--out" && hasValue) {
      options.out = arguments[++i];
    } else if (argument.rfind("--", 0) == 0) {
      return false;
    } else {
      options.files.push_back(argument);
    }
  }
  return !options.cells.empty();
}

// The TIFF/STK plane function on files; an unopenable file is simply not accepted.
TImageFormats CommandLineFormats() {
  TImageFormats formats = DefaultImageFormats();
  if (!formats.ReadTiff)
    formats.ReadTiff = [](const std::string& fileName, int32_t index, TWordDynArray& plane, int32_t& width,
                          int32_t& height, int32_t& planeCount, double& pixelSize) {
      std::unique_ptr<TFileStream> stream;
      try {
        stream = OpenFileRead(fileName);
      } catch (const Exception&) {
        return false;
      }
      return ReadTiffPlane(*stream, index, plane, width, height, planeCount, pixelSize);
    };
  return formats;
}

// The channel a --kind names: an exact index from 0, else a channel name ignoring case.
int32_t FindChannel(const TChannelInfos& channels, const std::string& name) {
  if (name.find_first_not_of("0123456789") == std::string::npos && name.size() < 9) {
    const int32_t index = std::atoi(name.c_str());
    return index < channels.Count() ? index : -1;
  }
  for (int32_t i = 0; i < channels.Count(); ++i)
    if (SameText(channels[i].Name, name)) return i;
  return -1;
}

bool WriteText(const std::string& fileName, const std::string& text) {
  if (fileName.empty()) return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  std::ofstream out(fileName, std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int RunAnalyse(const TArguments& arguments) {
  TAnalyseOptions options;
  if (!ParseOptions(arguments, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const TCellsFile cellsFile = ReadCellsFile(options.cells);
  if (options.files.empty()) {
    if (cellsFile.Image.empty()) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    // The image named by the cells file lies beside it unless the name says otherwise.
    options.files.push_back((std::filesystem::path(options.cells).parent_path() / cellsFile.Image).string());
  }

  const TImageFormats formats = CommandLineFormats();
  for (const auto& file : options.files) {
    TChannelInfos channels;
    if (!ReadChannelsOfFile(file, formats, channels)) {
      std::fprintf(stderr, "orbelin-cli analyse: %s: not a readable image\n", file.c_str());
      return 1;
    }
  }
  TImageSet set(formats);
  set.OpenFiles(options.files);
  if (!set.IsOpen()) {
    std::fprintf(stderr, "orbelin-cli analyse: %s: not a readable image\n", options.files.front().c_str());
    return 1;
  }

  for (const auto& entry : options.kinds) {
    const int32_t channel = FindChannel(set.Channels(), entry.channel);
    if (channel < 0) {
      std::fprintf(stderr, "orbelin-cli analyse: no channel \"%s\"; the channels are:", entry.channel.c_str());
      for (const auto& info : set.Channels()) std::fprintf(stderr, " %d=%s", info.Index, info.Name.c_str());
      std::fputc('\n', stderr);
      return 2;
    }
    set.Channels().SetAlgorithm(channel, entry.kind);
  }

  std::vector<TCellData*> created;
  for (size_t i = 0; i < cellsFile.Cells.size(); ++i) {
    const TCellsFileCell& cell = cellsFile.Cells[i];
    if (cell.Frame >= set.FrameCount()) {
      std::fprintf(stderr, "orbelin-cli analyse: %s: frame %d at /cells/%zu/frame, the image has %d frames\n",
                   options.cells.c_str(), cell.Frame, i, set.FrameCount());
      return 1;
    }
    auto data = std::make_unique<TCellData>(std::make_unique<TPlainCellShapes>(cell.Outline));
    created.push_back(data.get());
    set.Frames()[static_cast<size_t>(cell.Frame)].AddCell(std::move(data));
  }

  // As in the window: the analysis places each marker, then a hand-moved one is
  // dragged to its place and stays there through every later analysis.
  TCellAnalyser analyser(set);
  for (int32_t f = 0; f < set.FrameCount(); ++f) analyser.AnalyseFrame(f, false);
  for (size_t i = 0; i < cellsFile.Cells.size(); ++i) {
    TCellData& data = *created[i];
    const std::optional<TPoint>& mtoc = cellsFile.Cells[i].Mtoc;
    if (!mtoc || !data.Shapes().HasMarker()) continue;
    data.Shapes().SetMarkerPoint(*mtoc);
    data.MtocPosition = *mtoc;
  }

  const TCopiedMeasurements table = CopyMeasurements(
      set.Frames(), set.Channels(), [&](int32_t frame) { analyser.AnalyseFrame(frame, false); }, !options.byCell,
      '.');
  if (table.CellCount <= 0) {
    std::fprintf(stderr, "%s\n", table.Message.c_str());
    return 2;
  }
  if (!WriteText(options.out, table.Text)) {
    std::fprintf(stderr, "orbelin-cli analyse: %s: cannot write the table\n",
                 options.out.empty() ? "standard output" : options.out.c_str());
    return 1;
  }
  if (!options.out.empty())
    std::fprintf(stderr, "Measurements of %d cells written to %s\n", table.CellCount, options.out.c_str());
  return 0;
}

}  // namespace orbelin::cli
