#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace korvane {

// One tile's JPEG decoded a few scanlines at a time, so a whole row of tiles can be turned into
// scanlines of the panorama without any tile being held decoded in full. Each decoder is used
// by one thread at a time; different decoders run on different threads freely.
class TileDecoder {
 public:
  // Takes the file's bytes, reads the header and starts decoding to 8-bit RGB (a grey tile is
  // widened). Raises Exception "<name> does not decode: <reason>" when it is no JPEG, and
  // "<name> is W x H pixels, not S x S" when it is not a tile of side `side`.
  TileDecoder(std::string name, std::string bytes, int side);
  ~TileDecoder();
  TileDecoder(const TileDecoder&) = delete;
  TileDecoder& operator=(const TileDecoder&) = delete;

  // Decodes the next `count` scanlines; scanline i goes to rows + i * stride (side * 3 bytes).
  // Raises Exception "<name> does not decode: <reason>" on damaged data, a libjpeg warning
  // included (a truncated tile only warns), as the download's check does.
  void ReadLines(std::uint8_t* rows, std::size_t stride, int count);

 private:
  struct State;
  std::string name_;
  std::string bytes_;
  std::unique_ptr<State> state_;
};

}  // namespace korvane
