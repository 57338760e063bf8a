#pragma once

#include <string>

namespace korvane::test {

// A real JPEG of the given size (a colour gradient), encoded with libjpeg in memory.
std::string MakeJpeg(int width, int height, bool progressive = false);

// The JPEG with its last bytes cut off: starts like a good one but ends early.
std::string TruncatedJpeg(const std::string& jpeg, size_t cut);

}  // namespace korvane::test
