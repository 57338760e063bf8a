#include "JpegDecode.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>

namespace korvane::test {

namespace {

struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  int Warnings = 0;
};

void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0) ++reinterpret_cast<ErrorManager*>(info->err)->Warnings;
}

bool Decode(std::string_view bytes, DecodedJpeg& result, ErrorManager& errors,
            jpeg_decompress_struct& info) {
  info.err = jpeg_std_error(&errors.Base);
  errors.Base.error_exit = OnError;
  errors.Base.emit_message = OnMessage;
  if (setjmp(errors.Jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  result.Progressive = jpeg_has_multiple_scans(&info);
  result.Components = info.num_components;
  jpeg_start_decompress(&info);
  result.Width = static_cast<int>(info.output_width);
  result.Height = static_cast<int>(info.output_height);
  result.Pixels.resize(static_cast<std::size_t>(result.Width) * result.Height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row =
        result.Pixels.data() + static_cast<std::size_t>(info.output_scanline) * result.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

DecodedJpeg DecodeJpeg(std::string_view bytes) {
  DecodedJpeg result;
  ErrorManager errors{};
  jpeg_decompress_struct info{};
  result.Ok = Decode(bytes, result, errors, info);
  if (!result.Ok) {
    char message[JMSG_LENGTH_MAX];
    (*errors.Base.format_message)(reinterpret_cast<j_common_ptr>(&info), message);
    result.Error = message;
  }
  jpeg_destroy_decompress(&info);
  result.Warnings = errors.Warnings;
  return result;
}

}  // namespace korvane::test
