// The current service's lookup answer: JSONP around a JSON array, walked by fixed indices; and
// its by-id answer, the same array after ")]}'".
#include <cstdlib>

#include "FuzzTarget.h"
#include "lookup/CurrentLookupAnswer.h"
#include "task/PanoIdCheck.h"
#include "task/PanoramaRecordFile.h"

namespace {

void CheckAnswer(const korvane::CurrentLookupAnswer& answer) {
  using namespace korvane;
  if (answer.Kind == LookupAnswerKind::Found) {
    // A found panorama must be usable as it is: an id safe in addresses and files, a tile
    // size and at least one picture size.
    if (!IsUsablePanoId(answer.PanoId) || answer.Sizes.empty()) std::abort();
    if (answer.TileSize.Width <= 0 || answer.TileSize.Height <= 0) std::abort();
  }
  // The record keeps only what passes its checks.
  if (CheckedPanoramaRecord(answer.Record) != answer.Record) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view text = fuzz::AsText(data, size);
  CheckAnswer(ParseCurrentLookupAnswer(text));
  CheckAnswer(ParsePanoramaByIdAnswer(text));
  return 0;
}
