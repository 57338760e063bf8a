#include "views/ViewSource.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>

#include "combine/CombineLimits.h"
#include "combine/PanoramaCombiner.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "task/PanoramaRecordFile.h"
#include "task/TaskFileNames.h"
#include "viewer/Compass.h"
#include "viewer/JpegPicture.h"
#include "viewer/ParallelRows.h"
#include "viewer/ViewerLimits.h"
#include "views/ViewGeometry.h"
#include "views/ViewLimits.h"

namespace korvane {
namespace {

using viewer::RgbBuffer;

// Rows of a stitched picture are looked at in cells of this many pixels.
constexpr int PictureCell = 16;

// Pixels around each sampled point at the decoded scale: the bilinear neighbour and rounding.
constexpr int SampleMargin = 2;

void FillGrey(RgbBuffer& buffer, int left, int top, int width, int height, std::uint8_t grey) {
  for (int y = std::max(top, 0); y < std::min(top + height, buffer.Height); ++y) {
    const int x0 = std::max(left, 0), x1 = std::min(left + width, buffer.Width);
    if (x0 < x1) std::memset(buffer.Row(y) + static_cast<std::size_t>(x0) * 3, grey, (x1 - x0) * 3);
  }
}

void Paste(RgbBuffer& buffer, int left, int top, const RgbBuffer& part) {
  for (int y = std::max(top, 0); y < std::min(top + part.Height, buffer.Height); ++y) {
    const int x0 = std::max(left, 0), x1 = std::min(left + part.Width, buffer.Width);
    if (x0 < x1)
      std::memcpy(buffer.Row(y) + static_cast<std::size_t>(x0) * 3, part.At(x0 - left, y - top),
                  static_cast<std::size_t>(x1 - x0) * 3);
  }
}

// A tile at 1/denominator of its size; nothing when it is missing, no JPEG, damaged or not a
// whole tile.
std::optional<RgbBuffer> ReadTile(const std::string& path, int denominator) {
  try {
    const std::string bytes = ReadRegularFile(path, MaxTileFileBytes);
    const viewer::JpegHeader header = viewer::ReadJpegHeader(bytes);
    if (header.Width != TilePixels || header.Height != TilePixels) return std::nullopt;
    return viewer::DecodeJpeg(bytes, denominator);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

MadeView RenderFromTiles(const ViewSource& source, const viewer::ViewAngles& angles, int width,
                         int height) {
  const TaskTiles& task = *source.Task;
  MadeView view;
  const int denominator = ViewDenominator(angles.FieldOfView, width, task.ImageWidth);
  view.Denominator = denominator;
  const int side = TilePixels / denominator;
  const int columns = task.ColumnsInImage(), rows = task.RowsInImage();
  const std::vector<bool> needed =
      NeededCells(angles, width, height, task.ImageWidth, task.ImageHeight, TilePixels,
                  SampleMargin * denominator);
  std::vector<std::pair<int, int>> tiles;
  int firstRow = rows, lastRow = -1;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      if (!needed[static_cast<std::size_t>(r) * columns + c]) continue;
      tiles.emplace_back(c, r);
      firstRow = std::min(firstRow, r);
      lastRow = std::max(lastRow, r);
    }
  }
  view.Pixels = RgbBuffer(width, height);
  if (tiles.empty()) return view;
  // One band of the panorama at the decoded scale, all the way round, over the tile rows the
  // view needs; only the tiles it samples are filled in.
  const int scaledWidth = (task.ImageWidth + denominator - 1) / denominator;
  const int scaledHeight = (task.ImageHeight + denominator - 1) / denominator;
  const int top = firstRow * side;
  RgbBuffer band(scaledWidth, std::min((lastRow + 1) * side, scaledHeight) - top);
  std::atomic<int> missing = 0;
  viewer::ParallelRows(static_cast<int>(tiles.size()), [&](int first, int end) {
    for (int i = first; i < end; ++i) {
      const auto [c, r] = tiles[static_cast<std::size_t>(i)];
      const auto pixels =
          ReadTile(task.TilePath(task.Grid.MinX + c, task.Grid.MinY + r), denominator);
      if (pixels && pixels->Width == side && pixels->Height == side) {
        Paste(band, c * side, r * side - top, *pixels);
      } else {
        FillGrey(band, c * side, r * side - top, side, side, GapGrey);
        ++missing;
      }
    }
  });
  view.TilesRead = static_cast<int>(tiles.size());
  view.MissingTiles = missing;
  viewer::RenderRectilinear(
      band,
      {static_cast<double>(task.ImageWidth) / denominator,
       static_cast<double>(task.ImageHeight) / denominator, 0.0, static_cast<double>(top), true},
      angles, view.Pixels);
  return view;
}

MadeView RenderFromPicture(const ViewSource& source, const viewer::ViewAngles& angles, int width,
                           int height) {
  const viewer::PanoramaPlacement& place = source.Placement;
  MadeView view;
  view.Pixels = RgbBuffer(width, height);
  std::fill(view.Pixels.Pixels.begin(), view.Pixels.Pixels.end(), viewer::OutsideGrey);
  const int denominator = ViewDenominator(angles.FieldOfView, width, place.FullWidth);
  view.Denominator = denominator;
  const std::vector<bool> needed =
      NeededCells(angles, width, height, place.FullWidth, place.FullHeight, PictureCell,
                  SampleMargin * denominator);
  const int columns = (place.FullWidth + PictureCell - 1) / PictureCell;
  const int cellRows = (place.FullHeight + PictureCell - 1) / PictureCell;
  int firstCell = cellRows, lastCell = -1;
  for (int r = 0; r < cellRows; ++r) {
    const auto row = needed.begin() + static_cast<std::ptrdiff_t>(r) * columns;
    if (std::find(row, row + columns, true) == row + columns) continue;
    firstCell = std::min(firstCell, r);
    lastCell = r;
  }
  // The picture's rows at the decoded scale that hold the needed panorama rows.
  const int scaledHeight = (source.PictureHeight + denominator - 1) / denominator;
  const int firstRow =
      std::clamp((firstCell * PictureCell - place.Top) / denominator, 0, scaledHeight);
  const int endRow = std::clamp(
      ((lastCell + 1) * PictureCell - place.Top + denominator - 1) / denominator, 0, scaledHeight);
  if (lastCell < 0 || firstRow >= endRow) return view;
  const RgbBuffer band =
      viewer::DecodeJpegRows(source.PictureBytes, denominator, firstRow, endRow - firstRow);
  view.RowsDecoded = band.Height;
  const double scale = static_cast<double>(band.Width) / source.PictureWidth;
  viewer::RenderRectilinear(band,
                            {place.FullWidth * scale, place.FullHeight * scale, place.Left * scale,
                             place.Top * scale + firstRow, source.PictureWidth >= place.FullWidth},
                            angles, view.Pixels);
  return view;
}

}  // namespace

PlaceFacts ReadPlaceFacts(const std::string& path) {
  PlaceFacts facts;
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  if (DirectoryExists(folder)) {
    if (!FileExists(folder + TaskFileExtension)) return facts;
    facts.SourcePath = folder + TaskFileExtension;
  } else {
    facts.SourcePath = path;
  }
  facts.Record = ReadPanoramaRecord(facts.SourcePath);
  if (facts.Record && facts.Record->Heading) {
    facts.MiddleHeading = facts.Record->Heading;
  } else if (!facts.SourcePath.ends_with(TaskFileExtension)) {
    try {
      facts.MiddleHeading =
          viewer::ReadJpegHeader(ReadRegularFile(facts.SourcePath, MaxStitchedFileBytes))
              .PoseHeading;
    } catch (const std::exception&) {
      // No picture, or none to be read: nothing known of its heading.
    }
  }
  return facts;
}

ViewSource OpenViewSource(const std::string& path) {
  ViewSource source;
  source.Path = path;
  source.Record = ReadPanoramaRecord(path);
  if (path.ends_with(TaskFileExtension)) {
    source.Task = ReadTaskTiles(path);
    if (source.Task->ImageWidth < viewer::MinPictureSide ||
        source.Task->ImageHeight < viewer::MinPictureSide)
      throw Exception("The task " + path + " describes no panorama.");
    // The band a view decodes is at most the whole panorama at full size.
    if (static_cast<std::uint64_t>(source.Task->ImageWidth) * source.Task->ImageHeight * 3 >
        viewer::MaxDecodedPictureBytes)
      throw Exception(viewer::TooBigMessage(source.Task->ImageWidth, source.Task->ImageHeight));
    source.PictureWidth = source.Task->ImageWidth;
    source.PictureHeight = source.Task->ImageHeight;
    source.Placement = {source.PictureWidth, source.PictureHeight, 0, 0};
  } else {
    try {
      source.PictureBytes = ReadRegularFile(path, MaxStitchedFileBytes);
    } catch (const std::exception&) {
      throw Exception("Cannot open file " + path);
    }
    const viewer::JpegHeader header = viewer::ReadJpegHeader(source.PictureBytes);
    if (header.Width < viewer::MinPictureSide || header.Height < viewer::MinPictureSide)
      throw Exception("The picture is " + std::to_string(header.Width) + " x " +
                      std::to_string(header.Height) + " pixels: too small to be a panorama.");
    if (static_cast<std::uint64_t>(header.Width) * header.Height * 3 >
        viewer::MaxDecodedPictureBytes)
      throw Exception(viewer::TooBigMessage(header.Width, header.Height));
    source.PictureWidth = header.Width;
    source.PictureHeight = header.Height;
    source.Placement = viewer::PlacePicture(header.Width, header.Height, header.GPano);
    source.MiddleHeading = header.PoseHeading;
  }
  // The record's heading outweighs the picture's own, as in ReadPlaceFacts.
  if (source.Record && source.Record->Heading) source.MiddleHeading = source.Record->Heading;
  return source;
}

double PanoramaAngle(const ViewSource& source, double heading) {
  return viewer::AngleOfHeading(heading, source.MiddleHeading);
}

MadeView RenderView(const ViewSource& source, const viewer::ViewAngles& angles, int width,
                    int height) {
  return source.Task ? RenderFromTiles(source, angles, width, height)
                     : RenderFromPicture(source, angles, width, height);
}

}  // namespace korvane
