#pragma once

#include <optional>
#include <string>
#include <utility>

#include "Reply.h"
#include "ServiceRequest.h"
#include "StreetNetwork.h"
#include "TileCache.h"

namespace korvane::standin {

// The answers of a healthy service. Thread-safe.
class StandinService {
 public:
  // With a town (korvane-standin --streets), the current protocol's lookups answer from it
  // and its ids are served; without one, every answer comes from the cells.
  explicit StandinService(TileCache& tiles, const StreetNetwork* town = nullptr)
      : tiles_(tiles), town_(town) {}

  // Metadata: the XML of the nearest panorama, or the answer without a panorama where there is
  // no coverage. Lookup and by id: the current protocol's answers (with a town: the lookup the
  // town's, by id the town's for its ids). Tile: the JPEG (the placeholder for an unknown id or
  // a tile outside the grid). Anything else: 400 Bad Request.
  Reply Answer(const ServiceRequest& request) const;

  // 200 with the placeholder tile (TileCache::BlackTile).
  Reply Placeholder() const;

 private:
  TileCache& tiles_;
  const StreetNetwork* town_;
};

// The metadata XML for a point. Its first line holds pano_id="<22 characters>" when the point
// has coverage and no pano_id at all when it has none.
std::string MetadataXml(double latitude, double longitude);
std::string NoCoverageXml();

// The current protocol's lookup answer for a point, as JavaScript calling the callback:
// "/**/NAME && NAME( R )" with R the JSON array of the real service, [[0], M] with M the
// newest capture of the point's cell (PanoramaMessage), or the no-panorama answer
// [[5, "generic", "Search returned no images."]] where there is no coverage.
std::string LookupAnswer(const std::string& callback, double latitude, double longitude);
std::string NoPanoramaAnswer(const std::string& callback);

// The lookup answer from the town: the newest capture of its place nearest the point within the
// radius (TownMessage.h), or the no-panorama answer.
std::string TownLookupAnswer(const StreetNetwork& town, const std::string& callback,
                             double latitude, double longitude, double radiusMetres);

// The by-id answer for a capture of the town; nothing for an id the town does not have.
std::optional<std::string> TownByIdAnswer(const StreetNetwork& town, const std::string& panoId);

// The by-id answer: ")]}'", a line end and [[0], [M]] for an id of this service (any capture),
// else the no-panorama array.
std::string ByIdAnswer(const std::string& panoId);
std::string NoPanoramaByIdAnswer();

// The answer without a panorama for a metadata or lookup request (the nocoverage action).
Reply NoPanoramaReply(const ServiceRequest& request);

// A reply with that status and a small HTML page naming it; 3xx replies carry a Location.
Reply StatusReply(int status, const std::string& reason);

// The standard reason phrase of a status ("Unknown" for numbers without one).
std::string ReasonPhrase(int status);

}  // namespace korvane::standin
