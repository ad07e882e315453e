#include "analysis/CellsFile.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "foundation/Exceptions.h"

namespace orbelin {

namespace {

using nlohmann::json;

[[noreturn]] void RaiseAt(const std::string& fileName, const std::string& pointer, const std::string& problem) {
  RaiseErrorFmt<EConvertError>("%s: %s at %s", fileName.c_str(), problem.c_str(), pointer.c_str());
}

int32_t ToInt32(const json& value, const std::string& fileName, const std::string& pointer) {
  if (value.is_number_integer()) {
    const auto v = value.get<int64_t>();
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
      return static_cast<int32_t>(v);
    RaiseAt(fileName, pointer, "number out of range");
  }
  // Coordinates written by other tools may carry a fraction; they are pixel indices here.
  if (value.is_number_float()) {
    const double v = value.get<double>();
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
      return static_cast<int32_t>(std::nearbyint(v));
    RaiseAt(fileName, pointer, "number out of range");
  }
  RaiseAt(fileName, pointer, "number expected");
}

TPoint ToPoint(const json& value, const std::string& fileName, const std::string& pointer) {
  if (!value.is_array() || value.size() != 2) RaiseAt(fileName, pointer, "point [x, y] expected");
  return {ToInt32(value[0], fileName, pointer + "/0"), ToInt32(value[1], fileName, pointer + "/1")};
}

}  // namespace

TCellsFile ParseCellsFile(const std::string& text, const std::string& fileName) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& error) {
    // The library's message ("[json.exception...] parse error at line 2, column 20: ...") has the place.
    const std::string what = error.what();
    const auto tag = what.find("] ");
    RaiseErrorFmt<EConvertError>("%s: malformed JSON: %s", fileName.c_str(),
                                 tag == std::string::npos ? what.c_str() : what.c_str() + tag + 2);
  }
  if (!root.is_object()) RaiseAt(fileName, "/", "object expected");
  TCellsFile result;
  if (const auto image = root.find("image"); image != root.end()) {
    if (!image->is_string()) RaiseAt(fileName, "/image", "text expected");
    result.Image = image->get<std::string>();
  }
  const auto cells = root.find("cells");
  if (cells == root.end()) RaiseAt(fileName, "/", "\"cells\" missing");
  if (!cells->is_array()) RaiseAt(fileName, "/cells", "array expected");
  for (size_t i = 0; i < cells->size(); ++i) {
    const json& cell = (*cells)[i];
    const std::string at = "/cells/" + std::to_string(i);
    if (!cell.is_object()) RaiseAt(fileName, at, "object expected");
    TCellsFileCell item;
    if (const auto frame = cell.find("frame"); frame != cell.end()) {
      item.Frame = ToInt32(*frame, fileName, at + "/frame");
      if (item.Frame < 0) RaiseAt(fileName, at + "/frame", "frame below 0");
    }
    const auto outline = cell.find("outline");
    if (outline == cell.end()) RaiseAt(fileName, at, "\"outline\" missing");
    if (!outline->is_array()) RaiseAt(fileName, at + "/outline", "array expected");
    for (size_t k = 0; k < outline->size(); ++k)
      item.Outline.push_back(ToPoint((*outline)[k], fileName, at + "/outline/" + std::to_string(k)));
    // A cell is an outline of three points or more, as in the drawing tool.
    if (item.Outline.size() < 3) RaiseAt(fileName, at + "/outline", "at least 3 points expected");
    if (const auto mtoc = cell.find("mtoc"); mtoc != cell.end() && !mtoc->is_null())
      item.Mtoc = ToPoint(*mtoc, fileName, at + "/mtoc");
    result.Cells.push_back(std::move(item));
  }
  return result;
}

TCellsFile ReadCellsFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) RaiseErrorFmt<EInOutError>("%s: cannot open the cells file", fileName.c_str());
  std::stringstream text;
  text << in.rdbuf();
  if (in.bad()) RaiseErrorFmt<EInOutError>("%s: cannot read the cells file", fileName.c_str());
  return ParseCellsFile(text.str(), fileName);
}

std::string CellsFileText(const TCellsFile& cells) {
  // One cell per line keeps the file readable and easy to edit by hand.
  std::string text = "{\n \"image\": " + json(cells.Image).dump() + ",\n \"cells\": [";
  for (size_t i = 0; i < cells.Cells.size(); ++i) {
    const TCellsFileCell& cell = cells.Cells[i];
    text += i == 0 ? "\n  " : ",\n  ";
    text += "{\"frame\": " + std::to_string(cell.Frame) + ", \"outline\": [";
    for (size_t k = 0; k < cell.Outline.size(); ++k) {
      if (k > 0) text += ", ";
      text += "[" + std::to_string(cell.Outline[k].x) + ", " + std::to_string(cell.Outline[k].y) + "]";
    }
    text += "]";
    if (cell.Mtoc) text += ", \"mtoc\": [" + std::to_string(cell.Mtoc->x) + ", " + std::to_string(cell.Mtoc->y) + "]";
    text += "}";
  }
  text += cells.Cells.empty() ? "]\n}\n" : "\n ]\n}\n";
  return text;
}

void WriteCellsFile(const std::string& fileName, const TCellsFile& cells) {
  const std::string text = CellsFileText(cells);
  std::ofstream out(fileName, std::ios::binary);
  if (!out) RaiseErrorFmt<EInOutError>("Cannot create file \"%s\".", fileName.c_str());
  out << text;
  out.close();
  if (!out) RaiseErrorFmt<EInOutError>("Cannot write file \"%s\".", fileName.c_str());
}

}  // namespace orbelin
