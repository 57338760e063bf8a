// The classic service's metadata answer: the panorama id cut from its first line.
#include <cstdlib>

#include "FuzzTarget.h"
#include "lookup/ClassicLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string id = korvane::PanoIdFromAnswer(std::string(korvane::fuzz::AsText(data, size)));
  if (id.size() > 22) std::abort();
  return 0;
}
