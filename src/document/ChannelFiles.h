#pragma once
// From a file path to channel records: which reader describes the file, the
// channel suffix of a file name, and the sibling files of a one-channel file.
#include <array>
#include <string>
#include <vector>

#include "document/ChannelInfo.h"
#include "document/ImageFormats.h"

namespace orbelin {

// Describes one file as channels. False (and no channels) when the file does
// not exist or no reader accepts it; reader errors and planes without pixels
// (a width or height below 1) count as not accepted.
bool ReadChannelsOfFile(const std::string& path, const TImageFormats& formats, TChannelInfos& channels);

struct TChannelFileName {
  std::string Stem;
  std::string Suffix;  // upper-cased, empty when none
  std::string Ext;     // with its dot, empty when none
};

// Splits "folder/cell-g.tif" into "folder/cell", "G" and ".tif". The last "-"
// counts even when it lies in a folder name.
TChannelFileName SplitChannelFileName(const std::string& path);

// The suffixes that mark a file as one channel of a set, in the order siblings are looked for.
inline constexpr std::array<const char*, 9> kChannelSuffixes = {"G",    "R",    "B",      "I",      "GREEN",
                                                                 "RED", "BLUE", "FARRED", "FAR RED"};

// The files that may hold the other channels of path; empty when its suffix is not a channel suffix.
std::vector<std::string> SiblingChannelFiles(const std::string& path);

}  // namespace orbelin
