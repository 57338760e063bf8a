#include "task/TaskFile.h"

#include <algorithm>

#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "task/TaskFileKeys.h"
#include "task/TileGeometry.h"

namespace korvane {
namespace {

// What a whole-number key reads as when it is absent or holds no number.
constexpr int Absent = -1;

bool IsCaptureDate(const std::string& text) {
  if (text.size() != 7 && text.size() != 10) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 4 || i == 7;
    if (dash ? text[i] != '-' : !IsDecimalDigit(text[i])) return false;
  }
  return true;
}

std::optional<int> ReadNumber(const TIniFile& ini, const char* section, const char* key) {
  // Two different defaults tell an absent key from one that holds the default itself.
  const int value = ini.ReadInteger(section, key, 0);
  if (value == 0 && ini.ReadInteger(section, key, 1) == 1) return std::nullopt;
  return value;
}

void ReadGrid(const TIniFile& ini, TaskFile& file) {
  const TileGrid grid{ini.ReadInteger(GridSection, GridMinXKey, Absent),
                      ini.ReadInteger(GridSection, GridMinYKey, Absent),
                      ini.ReadInteger(GridSection, GridMaxXKey, Absent),
                      ini.ReadInteger(GridSection, GridMaxYKey, Absent)};
  if (IsSoundPanoramaGrid(grid)) {
    file.Grid = grid;
    return;
  }
  file.GridDamaged =
      grid.MinX != Absent || grid.MinY != Absent || grid.MaxX != Absent || grid.MaxY != Absent;
}

void ReadImage(const TIniFile& ini, TaskFile& file) {
  const ImageSize size{ini.ReadInteger(ImageSection, ImageWidthKey, Absent),
                       ini.ReadInteger(ImageSection, ImageHeightKey, Absent)};
  if (size.Width > 0 && size.Height > 0) {
    file.Image = size;
    return;
  }
  file.ImageDamaged = size.Width != Absent || size.Height != Absent;
}

}  // namespace

TaskFile ReadTaskFile(const std::string& path) {
  const TIniFile ini(path);
  TaskFile file;
  if (const auto mapsType = ReadNumber(ini, MapsTypeSection, MapsTypeKey))
    file.Protocol = ProtocolOfMapsType(*mapsType);
  file.Latitude = ini.ReadString(AreaSection, LatitudeKey, "");
  file.Longitude = ini.ReadString(AreaSection, LongitudeKey, "");
  file.PanoId = ini.ReadString(PanoSection, PanoIdKey, "");
  file.StartedById = ini.ReadInteger(PanoSection, ByIdKey, 0) == 1;
  file.Zoom = ReadNumber(ini, ZoomSection, ZoomKey);
  ReadGrid(ini, file);
  ReadImage(ini, file);
  const std::string date = ini.ReadString(ImageSection, ImageDateKey, "");
  if (IsCaptureDate(date)) file.CaptureDate = date;
  for (int i = 0; i < MaxThreadCount; ++i) {
    file.Resume[i] = {ini.ReadInteger(ThreadsSection, ThreadKeyX(i), 0),
                      ini.ReadInteger(ThreadsSection, ThreadKeyY(i), 0)};
  }
  return file;
}

TileGrid TaskFile::TileGridOrZoomGrid() const {
  return Grid ? *Grid : GridForZoom(Zoom.value_or(0));
}

void TaskFile::CheckDescribesTiles(const std::string& path) const {
  if (!Zoom || !IsValidZoom(*Zoom)) {
    throw Exception("The task file " + path + " names no zoom level from " + IntToStr(MinZoom) +
                    " to " + IntToStr(MaxZoom) + ".");
  }
  if (GridDamaged) throw Exception("The task file " + path + " has an impossible tile grid.");
  const TileGrid grid = TileGridOrZoomGrid();
  if (ImageDamaged || (Image && (Image->Width > grid.Columns() * TilePixels ||
                                 Image->Height > grid.Rows() * TilePixels))) {
    throw Exception("The task file " + path + " has an impossible image size.");
  }
}

void WriteTaskFile(const std::string& path, const TaskFile& file) {
  const TileGrid grid = file.Grid.value_or(TileGrid{});
  TStringList lines = {
      "[MapsType]",
      "MapsType=" + IntToStr(MapsTypeOf(file.Protocol.value_or(PanoramaProtocol::Classic))),
      "[AREA]",
      "Latitude=" + file.Latitude,
      "Longitude=" + file.Longitude,
      "[Pano]",
      "Pano_id=" + file.PanoId,
  };
  if (file.StartedById) lines.push_back(std::string(ByIdKey) + "=1");
  lines.insert(lines.end(), {
                                "[Zoom]",
                                "Zoom=" + IntToStr(file.Zoom.value_or(0)),
                                "",
                                "[XY]",
                                "MinX=" + IntToStr(grid.MinX),
                                "MinY=" + IntToStr(grid.MinY),
                                "MaxX=" + IntToStr(grid.MaxX),
                                "MaxY=" + IntToStr(grid.MaxY),
                                "",
                            });
  if (file.Image) {
    lines.insert(lines.end(), {"[Image]", "Width=" + IntToStr(file.Image->Width),
                               "Height=" + IntToStr(file.Image->Height)});
    if (!file.CaptureDate.empty()) lines.push_back("Date=" + file.CaptureDate);
    lines.push_back("");
  }
  SaveLines(path, lines);
}

void WriteResumePositions(const std::string& path,
                          const std::vector<std::pair<int, TilePosition>>& positions) {
  std::vector<IniKeyValue> values;
  for (const auto& [index, position] : positions) {
    values.emplace_back(ThreadKeyX(index), IntToStr(position.X));
    values.emplace_back(ThreadKeyY(index), IntToStr(position.Y));
  }
  if (!values.empty()) TIniFile(path).WriteStrings(ThreadsSection, values);
}

}  // namespace korvane
