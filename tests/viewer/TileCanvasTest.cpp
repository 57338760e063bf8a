#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/TileGeometry.h"
#include "viewer/TestPanoramas.h"
#include "viewer/TileCanvas.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

constexpr int Zoom = 2;  // 1664 x 832: a grid of 4 x 2 tiles

// Applies every change the canvas finds, decoding as the viewer does.
int Refresh(TileCanvas& canvas) {
  const std::vector<TileChange> changes = canvas.Changes();
  for (const TileChange& change : changes)
    canvas.Apply(change, DecodeTile(canvas.Layout().TilePath(change.X, change.Y)));
  return static_cast<int>(changes.size());
}

const std::uint8_t* TileMiddle(const TileCanvas& canvas, int x, int y) {
  return canvas.Picture().Level(0).At(x * TilePixels + 60, y * TilePixels + 200);
}

TEST(TileCanvas, FolderLayoutComesFromTheTileNames) {
  const test::TempFolder folder;
  test::WriteStandinTile(folder.Path(), 1, 0, Zoom);
  test::WriteStandinTile(folder.Path(), 2, 1, Zoom);
  WriteFileBytes(folder.Path() + "gv_9_9_4.jpg", "a stray tile of another zoom level");
  WriteFileBytes(folder.Path() + "notes.txt", "not a tile");
  TileLayout layout = LayoutOfFolder(folder.Path());
  EXPECT_EQ(layout.Zoom, Zoom);
  EXPECT_EQ(layout.Columns, 4);
  EXPECT_EQ(layout.Rows, 2);
  EXPECT_EQ(layout.Width, 1664);
  EXPECT_EQ(layout.Height, 832);
  EXPECT_EQ(layout.TilePath(2, 1), folder.Path() + "gv_2_1_2.jpg");

  // Tiles past the classic grid: a panorama of the current service, as big as its grid.
  test::WriteStandinTile(folder.Path(), 5, 2, Zoom);
  layout = LayoutOfFolder(folder.Path());
  EXPECT_EQ(layout.Columns, 6);
  EXPECT_EQ(layout.Width, 6 * TilePixels);
  EXPECT_EQ(layout.Height, 3 * TilePixels);
}

TEST(TileCanvas, FoldersWithoutTilesAreRefused) {
  const test::TempFolder folder;
  try {
    LayoutOfFolder(folder.Path());
    FAIL() << "no tiles: refused";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "No tiles (gv_X_Y_Z.jpg) in the folder " + folder.Path() + ".");
  }
  try {
    LayoutOfFolder(folder.Path() + "gone/");
    FAIL() << "no folder: refused";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "The tile folder " + folder.Path() + "gone/ does not exist.");
  }
}

TEST(TileCanvas, ShowsTilesAsTheyComeAndAChequerForTheRest) {
  const test::TempFolder folder;
  test::WriteStandinTile(folder.Path(), 0, 0, Zoom);
  TileCanvas canvas(LayoutOfFolder(folder.Path()));
  EXPECT_EQ(Refresh(canvas), 1);
  EXPECT_EQ(canvas.ShownCount(), 1);
  EXPECT_EQ(canvas.TileCount(), 8);
  EXPECT_FALSE(test::IsChequerGrey(TileMiddle(canvas, 0, 0)));
  EXPECT_TRUE(test::IsChequerGrey(TileMiddle(canvas, 3, 1)));
  EXPECT_EQ(Refresh(canvas), 0);  // nothing changed

  test::WriteStandinTile(folder.Path(), 3, 1, Zoom);
  WriteFileBytes(folder.Path() + "gv_2_0_2.jpg", "<html>banned</html>");  // a damaged tile
  EXPECT_EQ(Refresh(canvas), 2);
  EXPECT_EQ(canvas.ShownCount(), 2);
  EXPECT_FALSE(test::IsChequerGrey(TileMiddle(canvas, 3, 1)));
  EXPECT_TRUE(test::IsChequerGrey(TileMiddle(canvas, 2, 0)));
  // The coarsest level shows the new tile too (its lower left part is below the panorama).
  const RgbBuffer& coarse = canvas.Picture().Level(canvas.Picture().LevelCount() - 1);
  EXPECT_FALSE(test::IsChequerGrey(coarse.At(coarse.Width - 10, coarse.Height - 10)));
  EXPECT_EQ(Refresh(canvas), 0);  // the damaged tile is not read again until it changes

  DeleteFile(folder.Path() + "gv_3_1_2.jpg");
  EXPECT_EQ(Refresh(canvas), 1);
  EXPECT_TRUE(test::IsChequerGrey(TileMiddle(canvas, 3, 1)));
  EXPECT_EQ(canvas.ShownCount(), 1);
}

TEST(TileCanvas, OnlyWholeTilesDecode) {
  const test::TempFolder folder;
  test::WriteStandinTile(folder.Path(), 0, 0, Zoom);
  const std::string tile = ReadFileBytes(folder.Path() + "gv_0_0_2.jpg");
  EXPECT_TRUE(DecodeTile(folder.Path() + "gv_0_0_2.jpg"));
  WriteFileBytes(folder.Path() + "cut.jpg", tile.substr(0, tile.size() - 200));
  EXPECT_FALSE(DecodeTile(folder.Path() + "cut.jpg"));
  WriteFileBytes(folder.Path() + "small.jpg", test::PlainJpeg(256, 256));
  EXPECT_FALSE(DecodeTile(folder.Path() + "small.jpg"));
  EXPECT_FALSE(DecodeTile(folder.Path() + "absent.jpg"));
}

}  // namespace
}  // namespace korvane::viewer
