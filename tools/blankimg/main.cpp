// korvane-blankimg: writes the substitute image that the download workers put in place of a
// tile they cannot get: a 512 x 512 baseline JPEG in a neutral grey. Its output is committed as
// data/blankimg/blank.jpg; regenerate it with the target regenerate-blank-image.

#include <cstdio>
#include <exception>

#include "JpegEncoder.h"
#include "StandinLimits.h"
#include "platform/FileSystem.h"
#include "task/TileGeometry.h"

namespace {

using namespace korvane;
using namespace korvane::standin;

constexpr standin::Rgb NeutralGrey{128, 128, 128};
constexpr int BlankQuality = 90;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvane-blankimg OUTPUT.jpg\n");
    return 2;
  }
  try {
    RgbImage image(TilePixels, TilePixels);
    image.FillRect(0, 0, TilePixels, TilePixels, NeutralGrey);
    WriteFileAtomically(argv[1], EncodeJpeg(image, BlankQuality));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "korvane-blankimg: %s\n", error.what());
    return 1;
  }
  return 0;
}
