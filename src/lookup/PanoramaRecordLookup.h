#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/HttpClient.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// The record of one panorama, over the protocol the configuration names (ServiceProtocolText),
// for code that walks from panorama to panorama. No window, no task: each call is one lookup
// (with its repeats) over client, whose proxy and abort the caller sets. Lines of the lookup go
// to addLogLine when given. Nothing when there is no such panorama, the lookup gave up or was
// aborted, or the configuration names no protocol.

// The panorama nearest the point within radiusMetres (the current lookup searches that far; a
// panorama whose position the answer gives farther off is none).
std::optional<PanoramaRecord> FindNearestPanoramaRecord(
    HttpClient& client, double latitude, double longitude, double radiusMetres,
    const std::function<void(const std::string&)>& addLogLine = {});

// The panorama of an id; the classic protocol has no by-id request and gives nothing.
std::optional<PanoramaRecord> FindPanoramaRecordById(
    HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine = {});

// The great-circle distance between two points in metres (a sphere of the Earth's mean radius).
double DistanceMetres(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace korvane
