#pragma once

#include <string>

namespace korvane::test {

// A real JPEG of the given size (a colour gradient), encoded with libjpeg in memory.
std::string MakeJpeg(int width, int height, bool progressive = false);

// A JPEG of one value in every sample: grayscale (components 1) or RGB (3), with tables made
// for it (the form of the service's placeholder when black).
std::string MakeUniformJpeg(int width, int height, int components, unsigned char value);

// The JPEG with its last bytes cut off: starts like a good one but ends early.
std::string TruncatedJpeg(const std::string& jpeg, size_t cut);

}  // namespace korvane::test
