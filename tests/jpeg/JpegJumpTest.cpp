#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "jpeg/JpegJump.h"

namespace korvane {
namespace {

constexpr int Side = 128;

// A Side x Side JPEG of grey stripes, encoded through the jumping handlers. Objects with
// destructors are made before the jump point, so a jump back skips none.
std::string EncodeGrey() {
  std::vector<unsigned char> row(Side, 128);
  jpeg_compress_struct info;
  JpegJump jump;
  info.err = InstallJpegJump(jump, false);
  unsigned char* output = nullptr;
  unsigned long size = 0;
  if (setjmp(jump.jump) != 0) {
    jpeg_destroy_compress(&info);
    std::free(output);
    return "";
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &output, &size);
  info.image_width = Side;
  info.image_height = Side;
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < Side; ++x)
      row[x] = static_cast<unsigned char>(x * 37 + info.next_scanline * 11);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(output), size);
  std::free(output);
  return bytes;
}

// Decodes bytes in full; the message of the jump that ended it, or "" when it ran through.
std::string DecodeMessage(const std::string& bytes, bool warningsFail) {
  std::vector<unsigned char> row(Side);
  jpeg_decompress_struct info;
  JpegJump jump;
  info.err = InstallJpegJump(jump, warningsFail);
  if (setjmp(jump.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return jump.message[0] ? jump.message : "(no message)";
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return "";
}

TEST(JpegJump, ErrorsJumpWithTheLibrarysMessageAndWarningsOnlyWhenAsked) {
  const std::string whole = EncodeGrey();
  ASSERT_GT(whole.size(), 200u);
  const std::string cut = whole.substr(0, whole.size() - 20);  // inside the scan
  struct Case {
    std::string Bytes;
    bool WarningsFail;
    std::string Expected;
  };
  const Case cases[] = {
      {whole, true, ""},
      {cut, false, ""},  // libjpeg pads a cut-off scan with grey and only warns
      {cut, true, "Premature end of JPEG file"},
      {"GIF89a and more", false, "Not a JPEG file: starts with 0x47 0x49"},
      {"GIF89a and more", true, "Not a JPEG file: starts with 0x47 0x49"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Expected + (c.WarningsFail ? " (warnings fail)" : ""));
    EXPECT_EQ(DecodeMessage(c.Bytes, c.WarningsFail), c.Expected);
  }
}

}  // namespace
}  // namespace korvane
