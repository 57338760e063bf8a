#include "viewer/FlatView.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "viewer/ParallelRows.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {

FlatViewport FitViewport(int pictureWidth, int pictureHeight, int frameWidth, int frameHeight) {
  FlatViewport view;
  if (pictureWidth <= 0 || pictureHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return view;
  view.Scale = std::clamp(std::min(static_cast<double>(frameWidth) / pictureWidth,
                                   static_cast<double>(frameHeight) / pictureHeight),
                          MinFlatScale, MaxFlatScale);
  view.Left = (pictureWidth - frameWidth / view.Scale) / 2.0;
  view.Top = (pictureHeight - frameHeight / view.Scale) / 2.0;
  return view;
}

FlatViewport ZoomedAround(const FlatViewport& view, double factor, double x, double y) {
  FlatViewport zoomed = view;
  zoomed.Scale = std::clamp(view.Scale * factor, MinFlatScale, MaxFlatScale);
  zoomed.Left = view.Left + x / view.Scale - x / zoomed.Scale;
  zoomed.Top = view.Top + y / view.Scale - y / zoomed.Scale;
  return zoomed;
}

FlatViewport OneToOne(const FlatViewport& view, double x, double y) {
  return ZoomedAround(view, 1.0 / view.Scale, x, y);
}

FlatViewport Panned(const FlatViewport& view, double dx, double dy) {
  FlatViewport panned = view;
  panned.Left -= dx / view.Scale;
  panned.Top -= dy / view.Scale;
  return panned;
}

int FlatLevel(const Pyramid& pyramid, double scale) {
  int level = pyramid.FinestLevel();
  while (level + 1 < pyramid.LevelCount() && std::ldexp(scale, level + 1) <= 1.0)
    ++level;
  return level;
}

void RenderFlat(const Pyramid& pyramid, const FlatViewport& view, RgbBuffer& frame) {
  if (frame.Empty()) return;
  const int level = FlatLevel(pyramid, view.Scale);
  const RgbBuffer& picture = pyramid.Level(level);
  const double xScale = static_cast<double>(picture.Width) / pyramid.Width();
  const double yScale = static_cast<double>(picture.Height) / pyramid.Height();
  // The level column of each frame column and the level row of each frame row; -1 outside.
  auto indices = [](int count, double origin, double scale, double levelScale, int limit) {
    std::vector<int> index(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const double at = std::floor((origin + (i + 0.5) / scale) * levelScale);
      index[static_cast<std::size_t>(i)] = at >= 0 && at < limit ? static_cast<int>(at) : -1;
    }
    return index;
  };
  const std::vector<int> columns =
      indices(frame.Width, view.Left, view.Scale, xScale, picture.Width);
  const std::vector<int> rows = indices(frame.Height, view.Top, view.Scale, yScale, picture.Height);
  ParallelRows(frame.Height, [&](int firstRow, int endRow) {
    for (int j = firstRow; j < endRow; ++j) {
      std::uint8_t* out = frame.Row(j);
      const int row = rows[static_cast<std::size_t>(j)];
      if (row < 0) {
        std::memset(out, OutsideGrey, frame.RowBytes());
        continue;
      }
      const std::uint8_t* source = picture.Row(row);
      for (int i = 0; i < frame.Width; ++i, out += 3) {
        const int column = columns[static_cast<std::size_t>(i)];
        if (column < 0) {
          out[0] = out[1] = out[2] = OutsideGrey;
        } else {
          std::memcpy(out, source + static_cast<std::size_t>(column) * 3, 3);
        }
      }
    }
  });
}

}  // namespace korvane::viewer
