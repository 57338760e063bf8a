#include "viewer/TestPanoramas.h"

// jpeglib.h needs the declarations of <cstdio> (FILE, size_t) before it.
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "JpegEncoder.h"
#include "PanoramaPainter.h"
#include "platform/FileSystem.h"
#include "task/TaskFileNames.h"
#include "viewer/ViewerLimits.h"

namespace korvane::test {

constexpr const char* TestPanoId = "viewer-test-panorama";
constexpr int Quality = 90;

std::string StandinPanoramaJpeg(int zoom) {
  const standin::PanoramaPainter painter(TestPanoId, zoom);
  standin::RgbImage image(painter.Width(), painter.Height());
  painter.Paint(0, 0, image);
  return standin::EncodeJpeg(image, Quality);
}

std::string PlainJpeg(int width, int height) {
  standin::RgbImage image(width, height);
  image.FillRect(0, 0, width, height, {90, 160, 60});
  return standin::EncodeJpeg(image, Quality);
}

std::string ProgressiveJpeg(int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);  // a test picture that cannot be made ends the test run
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  for (int i = 0; i < info.num_components; ++i)
    info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  for (std::size_t i = 0; i < row.size(); i += 3) {
    row[i] = 90;
    row[i + 1] = 160;
    row[i + 2] = 60;
  }
  JSAMPROW rows[1] = {row.data()};
  while (info.next_scanline < info.image_height)
    jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

std::string WithXmp(const std::string& jpeg, const std::string& xmpPacket) {
  const std::string payload = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + xmpPacket;
  const std::size_t length = payload.size() + 2;
  std::string segment = "\xFF\xE1";
  segment += static_cast<char>(length >> 8);
  segment += static_cast<char>(length & 0xFF);
  return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
}

std::string WithForgedSize(std::string jpeg, int width, int height) {
  // SOF0 (FF C0): length (2 bytes), precision (1), height (2), width (2).
  const std::size_t frame = jpeg.find("\xFF\xC0");
  if (frame == std::string::npos) throw std::runtime_error("no baseline frame header");
  jpeg[frame + 5] = static_cast<char>(height >> 8);
  jpeg[frame + 6] = static_cast<char>(height & 0xFF);
  jpeg[frame + 7] = static_cast<char>(width >> 8);
  jpeg[frame + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

void WriteStandinTile(const std::string& folder, int x, int y, int zoom) {
  const std::string name = TileFileName(x, y, zoom);
  WriteFileBytes(folder + name + ".part",
                 standin::EncodeJpeg(standin::RenderTile(TestPanoId, x, y, zoom), Quality));
  if (std::rename((folder + name + ".part").c_str(), (folder + name).c_str()) != 0)
    throw std::runtime_error("cannot rename the tile " + name);
}

bool IsMarkRed(const std::uint8_t* pixel) {
  return pixel[0] > 170 && pixel[1] < 110 && pixel[2] < 110;
}

bool IsChequerGrey(const std::uint8_t* pixel) {
  for (int c = 0; c < 3; ++c) {
    if (std::abs(pixel[c] - viewer::ChequerLight) > 3 &&
        std::abs(pixel[c] - viewer::ChequerDark) > 3)
      return false;
  }
  return true;
}

}  // namespace korvane::test
