#include "download/JpegCheck.h"

// jpeglib.h needs the declarations of <cstdio> (FILE, size_t) before it.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <exception>

#include "platform/FileSystem.h"

namespace korvane {
namespace {

// libjpeg reports errors through error_exit, which must not return. Unwinding a C++ exception
// through the C library is not safe, so the handler jumps back to DecodeAll instead; the frame
// of DecodeAll holds only plain C data, and jpeg_destroy_decompress releases everything the
// decoder allocated (its memory pools), so no path leaks.
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

extern "C" void JumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JumpingErrorManager*>(info->err)->jump, 1);
}

// Level -1 is a corrupt-data warning (a truncated file, a damaged scan): the image is not
// whole, so the decode stops right there. Levels 0 and up are trace messages; the check prints
// nothing.
extern "C" void JumpOnWarning(j_common_ptr info, int level) {
  if (level < 0) std::longjmp(reinterpret_cast<JumpingErrorManager*>(info->err)->jump, 1);
}

extern "C" void IgnoreMessage(j_common_ptr) {}

// Decodes every scanline; false on any error or warning, else the picture's size in width and
// height. Only plain C objects live in this frame, so leaving it by longjmp skips no destructor.
bool DecodeAll(const unsigned char* data, unsigned long size, JDIMENSION* width,
               JDIMENSION* height) {
  jpeg_decompress_struct info;
  JumpingErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnError;
  errors.base.emit_message = JumpOnWarning;
  errors.base.output_message = IgnoreMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = MaxJpegDecoderMemory;
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  const JDIMENSION rowBytes = info.output_width * static_cast<JDIMENSION>(info.output_components);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, rowBytes, 1);
  while (info.output_scanline < info.output_height) {
    jpeg_read_scanlines(&info, row, 1);
  }
  *width = info.output_width;
  *height = info.output_height;
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

bool JpegFileDecodes(const std::string& path) {
  return DecodedJpegFileSize(path).has_value();
}

}  // namespace korvane
