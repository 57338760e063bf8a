#pragma once

#include <functional>
#include <string>

#include "lookup/LookupAttempts.h"

namespace korvane {

// Looks up the id of the Street View panorama at the point (decimal degrees, already
// range-tested) with the metadata request on server 0, repeating it after failures as each
// kind allows; one attempt counter serves every kind, so earlier failures use up the limit of
// a later one. Progress and error lines go to addLogLine; processMessages runs before every
// attempt, so the window stays responsive between attempts.
//
// Returns the 22-character id cut from the first line of the answer, or the empty text when
// there is no panorama (no "pano_id=" on the first line, an empty answer) or the lookup gave
// up. Network failures never raise. The answer is kept in CacheFolder() + "temp.xml";
// when that file cannot be written, FileCreateError is raised. Main thread only; waits go
// through TheClock().
std::string LookUpPanorama(double latitude, double longitude,
                           const std::function<void(const std::string&)>& addLogLine,
                           const std::function<void()>& processMessages);

// The lookup over another transport (see HttpGetFunction).
std::string LookUpPanoramaWith(const HttpGetFunction& get, double latitude, double longitude,
                               const std::function<void(const std::string&)>& addLogLine,
                               const std::function<void()>& processMessages);

// The panorama id in the first line of a metadata answer: the 22 characters after
// "pano_id=" and the quote that follows it (fewer when the line ends earlier); empty when the
// first line lacks "pano_id=" or the answer has no line at all.
std::string PanoIdFromAnswer(const std::string& answer);

}  // namespace korvane
