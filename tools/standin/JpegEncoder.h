#pragma once

#include <string>

#include "RgbImage.h"

namespace korvane::standin {

// Encodes the picture as a baseline JPEG file (JFIF, Huffman tables of the standard, no
// progressive scans), the kind every tile of the real service is. The same picture and quality
// always give the same bytes. Raises korvane::Exception when the JPEG library fails.
std::string EncodeJpeg(const RgbImage& image, int quality);

// A grayscale picture (one component) of one value, with Huffman tables made for it: the form of
// the real service's placeholder (512 x 512 black: 1184 bytes, as the real one).
std::string EncodeGrayJpeg(int width, int height, unsigned char value, int quality);

}  // namespace korvane::standin
