#pragma once

#include <string>

#include "viewer/TileCanvas.h"

namespace korvane::viewer {

enum class InputKind {
  Picture,  // one JPEG file
  Tiles,    // the tiles of a task folder
};

struct OpenedInput {
  InputKind Kind = InputKind::Picture;
  TileLayout Tiles;  // for InputKind::Tiles
};

// What a path given to the viewer names: a task file (".krvn": its tile folder, laid out as the
// task says), a tile folder (laid out as the task file beside it says, "<folder>.krvn", else
// as its tile names say), or else a picture. Raises korvane::Exception with a message for
// people when the path does not exist, the task file cannot be read or names a tile folder
// that is gone, or a folder holds no tiles.
OpenedInput OpenInput(const std::string& path);

}  // namespace korvane::viewer
