#include "JpegEncoder.h"

#include <cstdlib>
#include <functional>
#include <vector>

#include "jpeg/JpegJump.h"
#include "platform/Exception.h"

namespace korvane::standin {

namespace {

// What to compress: the size, RGB (3 components) or grayscale (1), and each row's samples.
struct Picture {
  int Width = 0;
  int Height = 0;
  int Components = 3;
  std::function<const unsigned char*(int)> Row;
  bool OptimizeCoding = false;  // Huffman tables of its own instead of the standard ones
};

// Runs the whole compression; returns false (with the library's message) on failure. Kept
// free of objects with destructors because of the longjmp.
bool Compress(const Picture& image, int quality, unsigned char** output, unsigned long* outputSize,
              JpegJump& errors) {
  jpeg_compress_struct info;
  info.err = InstallJpegJump(errors, false);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, output, outputSize);
  info.image_width = static_cast<JDIMENSION>(image.Width);
  info.image_height = static_cast<JDIMENSION>(image.Height);
  info.input_components = image.Components;
  info.in_color_space = image.Components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.optimize_coding = image.OptimizeCoding ? TRUE : FALSE;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

std::string Encode(const Picture& image, int quality) {
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
  JpegJump errors{};
  const bool ok = Compress(image, quality, &output, &outputSize, errors);
  std::string bytes;
  if (ok) bytes.assign(reinterpret_cast<const char*>(output), outputSize);
  std::free(output);
  if (!ok) throw Exception(std::string("JPEG encoding failed: ") + errors.message);
  return bytes;
}

}  // namespace

std::string EncodeJpeg(const RgbImage& image, int quality) {
  return Encode({image.Width(), image.Height(), 3, [&image](int y) { return image.Row(y); }},
                quality);
}

std::string EncodeGrayJpeg(int width, int height, unsigned char value, int quality) {
  const std::vector<unsigned char> row(static_cast<std::size_t>(width), value);
  return Encode({width, height, 1, [&row](int) { return row.data(); }, true}, quality);
}

}  // namespace korvane::standin
