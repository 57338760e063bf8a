#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestJpeg.h"
#include "jpeg/JpegJump.h"

namespace korvane {
namespace {

constexpr int Side = 128;

// Decodes bytes in full; the message of the jump that ended it, or "" when it ran through.
std::string DecodeMessage(const std::string& bytes, bool warningsFail) {
  std::vector<unsigned char> row(Side * 3);
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
  const std::string whole = test::MakeJpeg(Side, Side);
  const std::string cut = test::TruncatedJpeg(whole, 20);  // inside the scan
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
