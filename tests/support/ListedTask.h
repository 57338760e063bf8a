#pragma once

#include <string>

#include "platform/TextFile.h"

namespace korvane::test {

// A current task "<folder><name>.krvn" (zoom 3, a grid of 4 x 2 tiles, panorama "PANO") with
// its tile folder, whose tiles come from tileBase: the lines of its failed list
// "<folder><name>_failed.ftl" are ones the re-download accepts, once the configuration's
// TileBase is tileBase (ConfigLines gives the lines that say so).
class ListedTask {
 public:
  static constexpr int Zoom = 3;
  static constexpr int Columns = 4;
  static constexpr int Rows = 2;

  ListedTask(const std::string& folder, const std::string& name, const std::string& tileBase);

  // "[Service]" with the current protocol and TileBase, for a config.ini.
  std::string ConfigLines() const;

  std::string TilePath(int x, int y) const;
  // The request target on the tile host, and the whole address.
  std::string Target(int x, int y) const;
  std::string Url(int x, int y) const;
  // TilePath + "|" + Url, as the download lists a tile.
  std::string Line(int x, int y) const;

  // Writes the failed list with these lines and returns its path.
  std::string WriteList(const TStringList& lines) const;

  const std::string& TaskFile() const { return taskFile_; }
  const std::string& ListPath() const { return listPath_; }

 private:
  std::string tileBase_;
  std::string taskFile_;
  std::string tileFolder_;
  std::string listPath_;
};

}  // namespace korvane::test
