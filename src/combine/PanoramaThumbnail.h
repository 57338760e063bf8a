#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// A small picture: 8-bit RGB, rows top to bottom, no padding.
struct Thumbnail {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;
};

// The JPEG file shrunk to fit maxWidth x maxHeight, proportions kept. The decoder shrinks the
// file by itself as far as it can (down to an eighth) and it is read line by line, so a panorama of
// any size needs only a few megabytes. Raises Exception "<path> does not decode: <reason>" for a
// file that is no JPEG and "Cannot open file <path>" for one that cannot be read.
Thumbnail ReadThumbnail(const std::string& path, int maxWidth, int maxHeight);

}  // namespace korvane
