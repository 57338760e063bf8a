#pragma once

#include <string>
#include <vector>

namespace korvane::bench {

// A photo-like tile of side pixels: gradients, edges and grain, so decoders and encoders do a
// real tile's work; the same (tileX, tileY) always gives the same JPEG.
std::string TextureTile(int tileX, int tileY, int side, int quality);

// What a child program cost.
struct ChildRun {
  double Seconds = 0;
  double CpuSeconds = 0;  // user + system, all threads
  double PeakRssMib = 0;
  std::string Output;  // the first line of its standard output
};

// Runs the program (looked up on PATH unless the name holds a slash) and waits for it; raises
// std::runtime_error when it does not end with status 0.
ChildRun RunChild(const std::vector<std::string>& args);

}  // namespace korvane::bench
