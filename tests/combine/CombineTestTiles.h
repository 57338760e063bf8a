#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "combine/TaskTiles.h"

namespace korvane::test {

struct Colour {
  int R = 0;
  int G = 0;
  int B = 0;
};

// Each tile is one flat colour made from its coordinates, neighbours far apart in red (along
// a row) and in green (along a column), so a tile in the wrong place shows at once and a
// colour survives two JPEG generations within a few levels.
Colour TileColour(int x, int y);
inline constexpr Colour Grey{128, 128, 128};

// True when the two colours differ by at most the tolerance in every channel.
bool Near(const Colour& a, const Colour& b, int tolerance = 10);

// A flat side x side baseline JPEG of the colour.
std::string FlatTileJpeg(const Colour& colour, int side = TilePixels);

// Writes the task file "<folder>/<name>.krvn" (classic unless an image size is given) and
// every tile of its grid into "<folder>/<name>/"; returns the task file's path.
struct TaskShape {
  int Zoom = 3;
  int Columns = 0;  // 0: the zoom's classic grid
  int Rows = 0;
  int ImageWidth = 0;  // 0: no [Image] section
  int ImageHeight = 0;
  std::string Date;
};
inline TaskShape ClassicAtZoom(int zoom) {
  TaskShape shape;
  shape.Zoom = zoom;
  return shape;
}
std::string WriteCombineTask(const std::string& folder, const std::string& name,
                             const TaskShape& shape);

// A JPEG file read back: its size, the APP1 segments, and the pixels of a few chosen rows.
struct DecodedPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::string> App1Segments;
  // rows[i] holds row wantedRows[i] as RGB.
  std::vector<std::vector<std::uint8_t>> Rows;

  Colour At(std::size_t rowIndex, int x) const;
};
// Decodes the file with box upsampling (no colour bleeding across 16-pixel edges), keeping
// only the wanted rows.
DecodedPicture DecodePicture(const std::string& path, const std::vector<int>& wantedRows);

}  // namespace korvane::test
