#pragma once

#include <string>
#include <utility>

#include "Reply.h"
#include "ServiceRequest.h"
#include "TileCache.h"

namespace korvane::standin {

// The answers of a healthy service. Thread-safe.
class StandinService {
 public:
  explicit StandinService(TileCache& tiles) : tiles_(tiles) {}

  // Metadata: the XML of the nearest panorama, or the answer without a panorama where there is
  // no coverage. Tile: the JPEG (the placeholder for an unknown id or a tile outside the grid).
  // Anything else: 400 Bad Request.
  Reply Answer(const ServiceRequest& request) const;

  // 200 with the placeholder tile (TileCache::BlackTile).
  Reply Placeholder() const;

 private:
  TileCache& tiles_;
};

// The metadata XML for a point. Its first line holds pano_id="<22 characters>" when the point
// has coverage and no pano_id at all when it has none.
std::string MetadataXml(double latitude, double longitude);
std::string NoCoverageXml();

// The current protocol's lookup answer for a point, as JavaScript calling the callback:
// "/**/NAME && NAME( R )" with R the JSON array of the real service (status 0, the id, the
// picture's size at every zoom from 0 to the panorama kind's highest, the tile size, the
// position, the capture date), or the no-panorama answer (status 5) where there is no coverage.
std::string LookupAnswer(const std::string& callback, double latitude, double longitude);
std::string NoPanoramaAnswer(const std::string& callback);

// The year and month a panorama was taken, fixed by its id: every protocol answers the same.
std::pair<int, int> CaptureDateOf(const std::string& panoId);

// The answer without a panorama for a metadata or lookup request (the nocoverage action).
Reply NoPanoramaReply(const ServiceRequest& request);

// A reply with that status and a small HTML page naming it; 3xx replies carry a Location.
Reply StatusReply(int status, const std::string& reason);

// The standard reason phrase of a status ("Unknown" for numbers without one).
std::string ReasonPhrase(int status);

}  // namespace korvane::standin
