#include "session/PlaceRequest.h"

#include "lookup/PlaceFromLink.h"

namespace korvane {

bool TakePlaceFromLatitude(StartRequest& request) {
  std::optional<PlaceTexts> place = PlaceFromText(request.Latitude);
  if (!place) return false;
  request.Latitude = place->Latitude;
  request.Longitude = place->Longitude;
  if (!place->PanoId.empty()) request.PanoId = place->PanoId;
  return true;
}

}  // namespace korvane
