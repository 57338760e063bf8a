#include "viewer/TaskLayout.h"

#include "combine/TaskTiles.h"

namespace korvane::viewer {

TileLayout LayoutOfTask(const std::string& taskFilePath) {
  const TaskTiles task = ReadTaskTiles(taskFilePath);
  TileLayout layout;
  layout.Folder = task.TileFolder;
  layout.Zoom = task.Zoom;
  // Tiles are named by their grid numbers; the viewer places the grid's first tile at the
  // panorama's top-left corner.
  layout.FirstX = task.Grid.MinX;
  layout.FirstY = task.Grid.MinY;
  layout.Columns = task.Grid.Columns();
  layout.Rows = task.Grid.Rows();
  layout.Width = task.ImageWidth;
  layout.Height = task.ImageHeight;
  return layout;
}

}  // namespace korvane::viewer
