#pragma once

#include <functional>
#include <string>

#include "lookup/LookupAttempts.h"
#include "net/HttpClient.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// Looks up the id of the Street View panorama at the point (decimal degrees, already
// range-tested) with the metadata request on server 0, repeating it after failures as each
// kind allows; one attempt counter serves every kind, so earlier failures use up the limit of
// a later one. Progress and error lines go to addLogLine.
//
// The request goes over client (given the browser headers here; neither proxy nor cookie
// line). Abort on it, from any thread, stops the lookup at once: it then returns the empty
// text without a line, and the caller tells a stop from no panorama by client.IsAborted().
//
// Returns the 22-character id cut from the first line of the answer, or the empty text when
// there is no panorama (no "pano_id=" on the first line, an empty answer) or the lookup gave
// up. Network failures never raise. The answer is kept in CacheFolder() + "temp.xml";
// when that file cannot be written, FileCreateError is raised. Waits go through TheClock().
std::string LookUpPanorama(HttpClient& client, double latitude, double longitude,
                           const std::function<void(const std::string&)>& addLogLine);

// The lookup over another transport (see HttpGetFunction); stopped as in FetchLookupAnswer.
std::string LookUpPanoramaWith(const HttpGetFunction& get, double latitude, double longitude,
                               const std::function<void(const std::string&)>& addLogLine,
                               const std::function<bool()>& stopped);

// The classic lookup with what its answer told of the panorama (RecordFromMetadataXml): the id
// as LookUpPanorama gives it, and the record (empty when there is no panorama).
struct ClassicLookupResult {
  std::string PanoId;
  PanoramaRecord Record;
};
ClassicLookupResult LookUpClassicPanorama(
    HttpClient& client, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine);
ClassicLookupResult LookUpClassicPanoramaWith(
    const HttpGetFunction& get, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped);

// The panorama id in the first line of a metadata answer: the 22 characters after
// "pano_id=" and the quote that follows it (fewer when the line ends earlier); empty when the
// first line lacks "pano_id=" or the answer has no line at all.
std::string PanoIdFromAnswer(const std::string& answer);

}  // namespace korvane
