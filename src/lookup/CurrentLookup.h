#pragma once

#include <functional>
#include <string>

#include "lookup/CurrentLookupAnswer.h"
#include "lookup/LookupAttempts.h"
#include "net/HttpClient.h"
#include "net/ServiceAddresses.h"

namespace korvane {

// Looks up the panorama nearest to the point (decimal degrees, already range-tested) with the
// current protocol's lookup (CurrentLookupUrl), repeating it after failures by its repeat table
// (CurrentLookupRepeats: the classic lookup's, backing off when the service pushes back). Lines
// go to addLogLine. The request goes over client (with the current browser headers; an HTML
// page is push-back), which stops the lookup as LookUpPanorama's.
//
// The answer body is kept in CacheFolder() + "temp.json" (FileCreateError when that file
// cannot be written). An HTML answer not marked as one adds the ban line; an answer that is
// not understood adds a line naming what was missing and where the answer is kept. Every
// outcome but Found means that there is no panorama; a lookup that gave up gives Unreadable.
// Network failures never raise. Waits go through TheClock().
// The lookup searches radiusMetres around the point.
CurrentLookupAnswer LookUpCurrentPanorama(HttpClient& client, double latitude, double longitude,
                                          const std::function<void(const std::string&)>& addLogLine,
                                          int radiusMetres = DefaultLookupRadiusMetres);

// The lookup over another transport (see HttpGetFunction); stopped as in FetchLookupAnswer.
CurrentLookupAnswer LookUpCurrentPanoramaWith(
    const HttpGetFunction& get, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine, const std::function<bool()>& stopped,
    int radiusMetres = DefaultLookupRadiusMetres);

// The panorama of an id with the by-id request (PanoramaByIdUrl), under the same rules, kept
// in the same file; an id IsUsablePanoId refuses gives NoPanorama without a request.
CurrentLookupAnswer LookUpCurrentPanoramaById(
    HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine);
CurrentLookupAnswer LookUpCurrentPanoramaByIdWith(
    const HttpGetFunction& get, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped);

// "Panorama: WIDTHxHEIGHT at zoom Z, taken YYYY-MM" for the size at that zoom (which must be in
// answer.Sizes); the date part only when the answer has one.
std::string PanoramaLine(const CurrentLookupAnswer& answer, int zoom);

}  // namespace korvane
