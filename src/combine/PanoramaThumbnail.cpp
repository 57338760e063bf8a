#include "combine/PanoramaThumbnail.h"

#include <algorithm>

#include "jpeg/JpegJump.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace korvane {
namespace {

struct Decoder {
  jpeg_decompress_struct info;
  JpegJump jump;
  bool created = false;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

// The smallest of libjpeg's scales M/8 that still gives at least the thumbnail's size, so the
// decoder does most of the shrinking.
unsigned int EighthsNeeded(JDIMENSION width, JDIMENSION height, int maxWidth, int maxHeight) {
  const double scale = std::min(
      {1.0, static_cast<double>(maxWidth) / width, static_cast<double>(maxHeight) / height});
  for (unsigned int eighths = 1; eighths < 8; ++eighths) {
    if (eighths >= scale * 8) return eighths;
  }
  return 8;
}

bool StartScaled(jpeg_decompress_struct* info, JpegJump* jump, const unsigned char* data,
                 unsigned long size, int maxWidth, int maxHeight) {
  if (setjmp(jump->jump) != 0) return false;
  jpeg_mem_src(info, data, size);
  jpeg_read_header(info, TRUE);
  info->out_color_space = JCS_RGB;
  info->scale_num = EighthsNeeded(info->image_width, info->image_height, maxWidth, maxHeight);
  info->scale_denom = 8;
  jpeg_start_decompress(info);
  return true;
}

bool ReadLine(jpeg_decompress_struct* info, JpegJump* jump, std::uint8_t* row) {
  if (setjmp(jump->jump) != 0) return false;
  JSAMPROW rows[1] = {row};
  return jpeg_read_scanlines(info, rows, 1) == 1;
}

}  // namespace

Thumbnail ReadThumbnail(const std::string& path, int maxWidth, int maxHeight) {
  const std::string bytes = ReadFileBytes(path);
  Decoder decoder;
  decoder.info.err = InstallJpegJump(decoder.jump, false);
  jpeg_create_decompress(&decoder.info);
  decoder.created = true;
  jpeg_decompress_struct& info = decoder.info;
  auto fail = [&] { return Exception(path + " does not decode: " + decoder.jump.message); };
  if (!StartScaled(&info, &decoder.jump, reinterpret_cast<const unsigned char*>(bytes.data()),
                   static_cast<unsigned long>(bytes.size()), maxWidth, maxHeight)) {
    throw fail();
  }
  const int sourceWidth = static_cast<int>(info.output_width);
  const int sourceHeight = static_cast<int>(info.output_height);
  const double scale = std::min({1.0, static_cast<double>(maxWidth) / sourceWidth,
                                 static_cast<double>(maxHeight) / sourceHeight});
  Thumbnail thumbnail;
  thumbnail.Width = std::max(1, static_cast<int>(sourceWidth * scale));
  thumbnail.Height = std::max(1, static_cast<int>(sourceHeight * scale));
  thumbnail.Rgb.resize(static_cast<std::size_t>(thumbnail.Width) * thumbnail.Height * 3);

  std::vector<std::uint8_t> line(static_cast<std::size_t>(sourceWidth) * 3);
  int nextRow = 0;
  for (int y = 0; y < sourceHeight && nextRow < thumbnail.Height; ++y) {
    if (!ReadLine(&info, &decoder.jump, line.data())) throw fail();
    // Each thumbnail row takes the source line its centre falls on.
    while (nextRow < thumbnail.Height &&
           static_cast<int>((nextRow + 0.5) * sourceHeight / thumbnail.Height) == y) {
      std::uint8_t* out =
          thumbnail.Rgb.data() + static_cast<std::size_t>(nextRow) * thumbnail.Width * 3;
      for (int x = 0; x < thumbnail.Width; ++x) {
        const int sourceX = static_cast<int>((x + 0.5) * sourceWidth / thumbnail.Width);
        std::copy_n(line.data() + static_cast<std::size_t>(sourceX) * 3, 3, out + x * 3);
      }
      ++nextRow;
    }
  }
  return thumbnail;
}

}  // namespace korvane
