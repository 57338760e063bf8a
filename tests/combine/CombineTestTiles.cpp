#include "CombineTestTiles.h"

// jpeglib.h needs the declarations of <cstdio> and <cstddef> before it.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "JpegEncoder.h"
#include "RgbImage.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "task/TaskFileNames.h"
#include "task/TileGrid.h"

namespace korvane::test {
namespace {

constexpr int TileQuality = 90;

}  // namespace

Colour TileColour(int x, int y) {
  return {40 + (x * 37) % 180, 40 + (y * 53) % 180, 40 + ((x + y) * 29) % 180};
}

bool Near(const Colour& a, const Colour& b, int tolerance) {
  return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance &&
         std::abs(a.B - b.B) <= tolerance;
}

std::string FlatTileJpeg(const Colour& colour, int side) {
  standin::RgbImage image(side, side);
  image.FillRect(0, 0, side, side,
                 {static_cast<std::uint8_t>(colour.R), static_cast<std::uint8_t>(colour.G),
                  static_cast<std::uint8_t>(colour.B)});
  return standin::EncodeJpeg(image, TileQuality);
}

std::string WriteCombineTask(const std::string& folder, const std::string& name,
                             const TaskShape& shape) {
  TileGrid grid = GridForZoom(shape.Zoom);
  if (shape.Columns > 0) grid = TileGrid{0, 0, shape.Columns - 1, shape.Rows - 1};
  std::string task = "[MapsType]\r\nMapsType=" + std::string(shape.ImageWidth ? "33" : "32") +
                     "\r\n[Pano]\r\nPano_id=test\r\n[Zoom]\r\nZoom=" + IntToStr(shape.Zoom) +
                     "\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=" + IntToStr(grid.MaxX) +
                     "\r\nMaxY=" + IntToStr(grid.MaxY) + "\r\n";
  if (shape.ImageWidth) {
    task += "[Image]\r\nWidth=" + IntToStr(shape.ImageWidth) +
            "\r\nHeight=" + IntToStr(shape.ImageHeight) + "\r\n";
    if (!shape.Date.empty()) task += "Date=" + shape.Date + "\r\n";
  }
  const std::string path = folder + name + ".krvn";
  WriteFileBytes(path, task);
  const std::string tileFolder = folder + name + "/";
  CreateDir(tileFolder);
  for (int y = 0; y <= grid.MaxY; ++y) {
    for (int x = 0; x <= grid.MaxX; ++x) {
      WriteFileBytes(tileFolder + TileFileName(x, y, shape.Zoom), FlatTileJpeg(TileColour(x, y)));
    }
  }
  return path;
}

Colour DecodedPicture::At(std::size_t rowIndex, int x) const {
  const std::uint8_t* p = Rows.at(rowIndex).data() + static_cast<std::size_t>(x) * 3;
  return {p[0], p[1], p[2]};
}

DecodedPicture DecodePicture(const std::string& path, const std::vector<int>& wantedRows) {
  const std::string bytes = ReadFileBytes(path);
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  DecodedPicture picture;
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
    picture.App1Segments.emplace_back(reinterpret_cast<const char*>(marker->data),
                                      marker->data_length);
  }
  info.out_color_space = JCS_RGB;
  info.do_fancy_upsampling = FALSE;
  jpeg_start_decompress(&info);
  picture.Width = static_cast<int>(info.output_width);
  picture.Height = static_cast<int>(info.output_height);
  picture.Rows.resize(wantedRows.size());
  std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.Width) * 3);
  JSAMPROW rowPointer = row.data();
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, &rowPointer, 1);
    for (std::size_t i = 0; i < wantedRows.size(); ++i) {
      if (wantedRows[i] == y) picture.Rows[i] = row;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  for (const auto& wanted : picture.Rows) {
    if (wanted.empty()) throw std::runtime_error("a wanted row lies outside the picture");
  }
  return picture;
}

}  // namespace korvane::test
