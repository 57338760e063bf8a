// The current service's lookup answer: JSONP around a JSON array, walked by fixed indices.
#include <cstdlib>

#include "FuzzTarget.h"
#include "lookup/CurrentLookupAnswer.h"
#include "task/PanoIdCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const CurrentLookupAnswer answer = ParseCurrentLookupAnswer(fuzz::AsText(data, size));
  if (answer.Kind == LookupAnswerKind::Found) {
    // A found panorama must be usable as it is: an id safe in addresses and files, a tile
    // size and at least one picture size.
    if (!IsUsablePanoId(answer.PanoId) || answer.Sizes.empty()) std::abort();
    if (answer.TileSize.Width <= 0 || answer.TileSize.Height <= 0) std::abort();
  }
  return 0;
}
