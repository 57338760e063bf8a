// The Map Tiles API's answers: metadata, panoIds, the session and the error object.
#include <cstdlib>

#include "FuzzTarget.h"
#include "lookup/MapTilesMetadata.h"
#include "lookup/MapTilesPanoIds.h"
#include "maptiles/MapTilesAnswers.h"
#include "net/MapTilesAddresses.h"
#include "platform/PrintableText.h"
#include "task/PanoIdCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string text(fuzz::AsText(data, size));
  const MapTilesMetadata metadata = ParseMapTilesMetadata(text);
  if (metadata.Answer.Kind == LookupAnswerKind::Found) {
    // A found panorama must be usable as it is: an id safe in addresses and files, 512-pixel
    // tiles and at least one picture size; the texts kept are printable.
    if (!IsUsablePanoId(metadata.Answer.PanoId) || metadata.Answer.Sizes.empty()) std::abort();
    if (metadata.Answer.TileSize.Width != 512) std::abort();
    if (!IsPrintableText(metadata.Record.Copyright)) std::abort();
    for (const PanoramaLink& link : metadata.Record.Links) {
      if (!IsUsablePanoId(link.PanoId)) std::abort();
    }
  }
  if (const auto ids = ParsePanoIdsAnswer(text, 3)) {
    for (const std::string& id : *ids) {
      if (!id.empty() && !IsUsablePanoId(id)) std::abort();
    }
  }
  std::string problem;
  if (const auto session = ParseSessionAnswer(text, problem)) {
    // The token goes into every address: it must not be able to bend one.
    if (!IsSafeCredential(session->Session)) std::abort();
  }
  if (const auto error = ParseMapTilesError(text)) {
    const std::string line = MapTilesErrorLine(*error);
    if (!IsPrintableText(line) || error->Message.size() > MaxErrorMessageLength) std::abort();
  }
  return 0;
}
