#include "JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "platform/Exception.h"

namespace korvane::standin {

namespace {

// The JPEG library reports fatal errors through error_exit, which must not return; it jumps
// back here, since a C++ exception must not unwind through the library's C frames.
struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->Message);
  std::longjmp(manager->Jump, 1);
}

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
              ErrorManager& errors) {
  jpeg_compress_struct info;
  info.err = jpeg_std_error(&errors.Base);
  errors.Base.error_exit = OnError;
  if (setjmp(errors.Jump)) {
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
  ErrorManager errors{};
  const bool ok = Compress(image, quality, &output, &outputSize, errors);
  std::string bytes;
  if (ok) bytes.assign(reinterpret_cast<const char*>(output), outputSize);
  std::free(output);
  if (!ok) throw Exception(std::string("JPEG encoding failed: ") + errors.Message);
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
