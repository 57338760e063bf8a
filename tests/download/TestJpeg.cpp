#include "TestJpeg.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace korvane::test {

namespace {

// Compresses a picture of `components` samples a pixel whose rows fill() writes, after
// configure() had its say on the settings.
std::string Encode(int width, int height, int components, int quality,
                   const std::function<void(jpeg_compress_struct&)>& configure,
                   const std::function<void(std::vector<unsigned char>&, unsigned row)>& fill) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
  jpeg_mem_dest(&info, &output, &outputSize);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  configure(info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * static_cast<size_t>(components));
  while (info.next_scanline < info.image_height) {
    fill(row, info.next_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string result(reinterpret_cast<const char*>(output), outputSize);
  std::free(output);
  return result;
}

}  // namespace

std::string MakeJpeg(int width, int height, bool progressive) {
  return Encode(
      width, height, 3, 85,
      [progressive](jpeg_compress_struct& info) {
        if (progressive) jpeg_simple_progression(&info);
      },
      [width](std::vector<unsigned char>& row, unsigned y) {
        for (int x = 0; x < width; ++x) {
          row[x * 3] = static_cast<unsigned char>(x * 255 / (width > 1 ? width - 1 : 1));
          row[x * 3 + 1] = static_cast<unsigned char>(y * 7);
          row[x * 3 + 2] = static_cast<unsigned char>((x ^ y) & 0xFF);
        }
      });
}

std::string MakeUniformJpeg(int width, int height, int components, unsigned char value) {
  return Encode(
      width, height, components, 50,
      [](jpeg_compress_struct& info) { info.optimize_coding = TRUE; },
      [value](std::vector<unsigned char>& row, unsigned) {
        std::fill(row.begin(), row.end(), value);
      });
}

std::string TruncatedJpeg(const std::string& jpeg, size_t cut) {
  return jpeg.substr(0, jpeg.size() > cut ? jpeg.size() - cut : 0);
}

}  // namespace korvane::test
