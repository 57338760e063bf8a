#pragma once

#include "session/StartRequest.h"

namespace korvane {

// A map link or a "lat, lon" pair typed into the latitude box (PlaceFromText) fills both
// coordinates of the request, before the start rules see them, and a link that names a panorama
// id asks for that panorama (request.PanoId); true when it did. Any other
// latitude text leaves the request as typed. Hosts call it as Start is pressed and show the
// new texts in their boxes, so what the task file records is what the user then sees.
bool TakePlaceFromLatitude(StartRequest& request);

}  // namespace korvane
