// The check every tile answer passes: libjpeg on arbitrary bytes, within its memory bound.
#include "FuzzTarget.h"
#include "download/JpegCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvane::JpegDecodes(korvane::fuzz::AsText(data, size));
  return 0;
}
