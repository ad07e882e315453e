#pragma once
// What orbelin-cli info tells about a file, as JSON and as indented text.
#include <string>

#include <nlohmann/json.hpp>

#include "cli/ImageFile.h"

namespace orbelin::cli {

// The description of an opened file: sizes of every dimension, channels,
// positions, pixel size, bits, compression and, where the file has them, optics and text info.
nlohmann::ordered_json DescribeImageFile(const std::string& fileName, const TImageFile& file);

// The same as indented lines under the file name; TIFF files keep their short block.
std::string DescriptionText(const nlohmann::ordered_json& description);

}  // namespace orbelin::cli
