#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvane {

// A baseline JPEG (JFIF, 8-bit RGB stored as YCbCr 4:2:0) written to an open file a few
// scanlines at a time, so a picture of any size passes through with only the encoder's own
// small buffers in memory.
class JpegStreamWriter {
 public:
  // fd: an open, writable file; the writer does not close it. name: the file's name for
  // messages. Writes the header and one APP1 segment with each of app1Segments (each at most
  // MaxApp1Bytes, its identifier first: PictureApp1Segments). Raises Exception "Cannot write
  // <name>: <reason>" when the file cannot be written (a full disk included).
  JpegStreamWriter(int fd, std::string name, int width, int height, int quality,
                   const std::vector<std::string>& app1Segments);
  ~JpegStreamWriter();
  JpegStreamWriter(const JpegStreamWriter&) = delete;
  JpegStreamWriter& operator=(const JpegStreamWriter&) = delete;

  // Encodes the next `count` scanlines; scanline i starts at rows + i * stride (width * 3
  // bytes are read). Raises as the constructor.
  void WriteLines(const std::uint8_t* rows, std::size_t stride, int count);
  // Writes the end of the picture and everything still buffered; call it after the last
  // scanline. Raises as the constructor.
  void Finish();

 private:
  struct State;
  std::string name_;
  std::unique_ptr<State> state_;
  [[noreturn]] void RaiseWriteError() const;
};

// The APP1 identifier that marks an XMP segment; the packet follows it.
inline constexpr char XmpSegmentSignature[] = "http://ns.adobe.com/xap/1.0/";

}  // namespace korvane
