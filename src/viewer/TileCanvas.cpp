#include "viewer/TileCanvas.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "task/TaskFileNames.h"
#include "task/TileGeometry.h"
#include "viewer/JpegPicture.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

TileStamp StampOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return {
      static_cast<std::int64_t>(status.st_size),
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

}  // namespace

void PaintChequer(RgbBuffer& picture, int left, int top) {
  for (int row = 0; row < picture.Height; ++row) {
    std::uint8_t* out = picture.Row(row);
    const int squareRow = (top + row) / ChequerSquare;
    for (int column = 0; column < picture.Width; ++column, out += 3) {
      const bool light = (squareRow + (left + column) / ChequerSquare) % 2 == 0;
      out[0] = out[1] = out[2] = light ? ChequerLight : ChequerDark;
    }
  }
}

std::string TileLayout::TileFileName(int column, int row) const {
  return korvane::TileFileName(FirstX + column, FirstY + row, Zoom);
}

TileLayout LayoutOfFolder(const std::string& folder) {
  if (!DirectoryExists(folder)) throw Exception("The tile folder " + folder + " does not exist.");
  std::map<int, int> tilesPerZoom;
  std::vector<TileFileId> tiles;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (const auto tile = ParseTileFileName(entry.path().filename().string())) {
      tiles.push_back(*tile);
      ++tilesPerZoom[tile->Zoom];
    }
  }
  if (error) throw Exception("Cannot read the folder " + folder + ": " + error.message() + ".");
  const auto mostTiles = std::max_element(tilesPerZoom.begin(), tilesPerZoom.end(),
                                          [](auto& a, auto& b) { return a.second < b.second; });
  if (mostTiles == tilesPerZoom.end() || !IsValidZoom(mostTiles->first))
    throw Exception("No tiles (gv_X_Y_Z.jpg) in the folder " + folder + ".");
  TileLayout layout;
  layout.Folder = folder.ends_with('/') ? folder : folder + "/";
  layout.Zoom = mostTiles->first;
  layout.Width = ClassicPanoramaWidth(layout.Zoom);
  layout.Height = ClassicPanoramaHeight(layout.Zoom);
  int lastX = ClassicGridColumns(layout.Zoom) - 1, lastY = ClassicGridRows(layout.Zoom) - 1;
  // Beyond the classic grid only a current panorama has tiles; its size is its whole grid.
  for (const TileFileId& tile : tiles) {
    if (tile.Zoom != layout.Zoom || tile.X >= MaxLooseTileNumber || tile.Y >= MaxLooseTileNumber)
      continue;
    lastX = std::max(lastX, tile.X);
    lastY = std::max(lastY, tile.Y);
  }
  layout.Columns = lastX + 1;
  layout.Rows = lastY + 1;
  if (layout.Columns * TilePixels > layout.Width + TilePixels)
    layout.Width = layout.Columns * TilePixels;
  if (layout.Rows * TilePixels > layout.Height + TilePixels)
    layout.Height = layout.Rows * TilePixels;
  return layout;
}

TileCanvas::TileCanvas(TileLayout layout) : layout_(std::move(layout)) {
  if (layout_.Width < MinPictureSide || layout_.Height < MinPictureSide || layout_.Columns <= 0 ||
      layout_.Rows <= 0)
    throw Exception("The task describes no panorama (" + std::to_string(layout_.Width) + " x " +
                    std::to_string(layout_.Height) + " pixels).");
  if (Pyramid::TotalBytes(layout_.Width, layout_.Height) > MaxDecodedPictureBytes)
    throw Exception(TooBigMessage(layout_.Width, layout_.Height));
  // Tiles are whole squares of the chequer, so one chequer over the panorama is every tile's.
  RgbBuffer chequer(layout_.Width, layout_.Height);
  viewer::PaintChequer(chequer, 0, 0);
  pyramid_ = Pyramid::FromLevel(layout_.Width, layout_.Height, 0, std::move(chequer));
  const std::size_t count = static_cast<std::size_t>(TileCount());
  stamps_.assign(count, TileStamp{});
  shown_tiles_.assign(count, false);
}

std::vector<TileChange> TileCanvas::Changes() const {
  std::vector<TileChange> changes;
  for (int y = 0; y < layout_.Rows; ++y) {
    for (int x = 0; x < layout_.Columns; ++x) {
      const TileStamp stamp = StampOf(layout_.TilePath(x, y));
      if (stamp != stamps_[static_cast<std::size_t>(y) * layout_.Columns + x])
        changes.push_back({x, y, stamp});
    }
  }
  return changes;
}

void TileCanvas::Apply(const TileChange& change, const std::optional<RgbBuffer>& pixels) {
  if (change.X < 0 || change.Y < 0 || change.X >= layout_.Columns || change.Y >= layout_.Rows)
    return;
  const std::size_t index = static_cast<std::size_t>(change.Y) * layout_.Columns + change.X;
  stamps_[index] = change.Stamp;
  if (pixels) {
    pyramid_.Paste(change.X * TilePixels, change.Y * TilePixels, *pixels);
  } else {
    PaintChequer(change.X, change.Y);
  }
  if (shown_tiles_[index] != pixels.has_value()) {
    shown_tiles_[index] = pixels.has_value();
    shown_ += pixels ? 1 : -1;
  }
}

void TileCanvas::PaintChequer(int x, int y) {
  RgbBuffer chequer(TilePixels, TilePixels);
  viewer::PaintChequer(chequer, x * TilePixels, y * TilePixels);
  pyramid_.Paste(x * TilePixels, y * TilePixels, chequer);
}

std::optional<RgbBuffer> DecodeTile(const std::string& path) {
  try {
    const std::string bytes = ReadFileBytes(path);
    const JpegHeader header = ReadJpegHeader(bytes);
    if (header.Width != TilePixels || header.Height != TilePixels) return std::nullopt;
    return DecodeJpeg(bytes, 1);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace korvane::viewer
