#include "download/JpegCheck.h"

#include <algorithm>
#include <exception>
#include <fstream>

#include "jpeg/JpegJump.h"
#include "platform/FileSystem.h"

namespace korvane {
namespace {

// Decodes every block (with brightest, every scanline); false on any error or warning, else the
// picture's size in width and height and, with brightest, the largest sample value. With
// brightest, decoding ends (true) at the first scanline holding a sample above stopAbove: the
// picture is then known not to be dark, whatever the rest holds. Only plain C
// objects live in this frame, so leaving it by longjmp skips no destructor.
bool DecodeAll(const unsigned char* data, unsigned long size, JDIMENSION* width, JDIMENSION* height,
               int* brightest = nullptr, int stopAbove = 255) {
  jpeg_decompress_struct info;
  JpegJump errors;
  info.err = InstallJpegJump(errors, true);
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = MaxJpegDecoderMemory;
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  if (brightest == nullptr) {
    // Entropy-decoding every block finds any damage the full decode would (a truncation, a
    // corrupt segment, a missing marker: each raises its error or warning here) without the
    // inverse DCT and colour conversion, a few times faster for a whole tile.
    jpeg_read_coefficients(&info);
    *width = info.image_width;
    *height = info.image_height;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
  }
  jpeg_start_decompress(&info);
  const JDIMENSION rowBytes = info.output_width * static_cast<JDIMENSION>(info.output_components);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, rowBytes, 1);
  JSAMPLE largest = 0;
  while (info.output_scanline < info.output_height && largest <= stopAbove) {
    jpeg_read_scanlines(&info, row, 1);
    const JSAMPLE* const samples = row[0];
    for (JDIMENSION i = 0; i < rowBytes; ++i)
      largest = std::max(largest, samples[i]);
  }
  *brightest = largest;
  *width = info.output_width;
  *height = info.output_height;
  if (info.output_scanline < info.output_height) {
    jpeg_destroy_decompress(&info);  // known bright: the rest is not needed
    return true;
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<JpegSize> DecodedJpegSize(std::string_view bytes) {
  // libjpeg treats an empty source as a premature end and inserts a fake EOI with a warning;
  // the explicit test keeps the rule obvious.
  if (bytes.empty()) return std::nullopt;
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  if (!DecodeAll(reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()), &width, &height))
    return std::nullopt;
  // libjpeg caps a side at JPEG_MAX_DIMENSION (65500), so both fit an int.
  return JpegSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<JpegSize> DecodedJpegFileSize(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return DecodedJpegSize(bytes);
}

bool JpegDecodes(std::string_view bytes) {
  return DecodedJpegSize(bytes).has_value();
}

bool JpegIsUniformBlack(std::string_view bytes) {
  if (bytes.empty()) return false;
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  int brightest = 0;
  return DecodeAll(reinterpret_cast<const unsigned char*>(bytes.data()),
                   static_cast<unsigned long>(bytes.size()), &width, &height, &brightest,
                   BlackSampleLimit) &&
         brightest <= BlackSampleLimit;
}

bool JpegFileLooksWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file || !FileExists(path)) return false;
  unsigned char start[2] = {};
  unsigned char end[2] = {};
  file.read(reinterpret_cast<char*>(start), 2);
  file.seekg(-2, std::ios::end);
  file.read(reinterpret_cast<char*>(end), 2);
  return file && start[0] == 0xFF && start[1] == 0xD8 && end[0] == 0xFF && end[1] == 0xD9;
}

bool JpegFileDecodes(const std::string& path) {
  return DecodedJpegFileSize(path).has_value();
}

}  // namespace korvane
