#include "lookup/PanoramaRecordLookup.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "lookup/ClassicLookup.h"
#include "lookup/CurrentLookup.h"
#include "net/ServiceAddresses.h"
#include "task/PanoramaProtocol.h"

namespace korvane {
namespace {

constexpr double EarthMeanRadiusMetres = 6'371'008.8;
// The widest search the current lookup is asked for.
constexpr double MaxSearchRadiusMetres = 100'000.0;

std::function<void(const std::string&)> OrNoLines(
    const std::function<void(const std::string&)>& addLogLine) {
  if (addLogLine) return addLogLine;
  return [](const std::string&) {};
}

bool Within(const PanoramaRecord& record, double latitude, double longitude, double radiusMetres) {
  if (!record.Latitude || !record.Longitude) return true;  // the service chose it
  return DistanceMetres(latitude, longitude, *record.Latitude, *record.Longitude) <= radiusMetres;
}

}  // namespace

double DistanceMetres(double latitude1, double longitude1, double latitude2, double longitude2) {
  constexpr double Radians = std::numbers::pi / 180.0;
  const double dLatitude = (latitude2 - latitude1) * Radians;
  const double dLongitude = (longitude2 - longitude1) * Radians;
  const double a = std::sin(dLatitude / 2) * std::sin(dLatitude / 2) +
                   std::cos(latitude1 * Radians) * std::cos(latitude2 * Radians) *
                       std::sin(dLongitude / 2) * std::sin(dLongitude / 2);
  return 2 * EarthMeanRadiusMetres * std::asin(std::min(1.0, std::sqrt(a)));
}

std::optional<PanoramaRecord> FindNearestPanoramaRecord(
    HttpClient& client, double latitude, double longitude, double radiusMetres,
    const std::function<void(const std::string&)>& addLogLine) {
  const auto protocol = ParsePanoramaProtocol(ServiceProtocolText());
  if (!protocol || !std::isfinite(radiusMetres) || radiusMetres < 0) return std::nullopt;
  PanoramaRecord record;
  if (*protocol == PanoramaProtocol::Classic) {
    ClassicLookupResult found =
        LookUpClassicPanorama(client, latitude, longitude, OrNoLines(addLogLine));
    if (found.PanoId.empty()) return std::nullopt;
    record = std::move(found.Record);
    record.PanoId = found.PanoId;
    record.Protocol = PanoramaProtocol::Classic;
  } else {
    const int radius =
        static_cast<int>(std::ceil(std::clamp(radiusMetres, 1.0, MaxSearchRadiusMetres)));
    CurrentLookupAnswer answer =
        LookUpCurrentPanorama(client, latitude, longitude, OrNoLines(addLogLine), radius);
    if (answer.Kind != LookupAnswerKind::Found) return std::nullopt;
    record = std::move(answer.Record);
  }
  if (client.IsAborted() || !Within(record, latitude, longitude, radiusMetres)) {
    return std::nullopt;
  }
  return record;
}

std::optional<PanoramaRecord> FindPanoramaRecordById(
    HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine) {
  const auto protocol = ParsePanoramaProtocol(ServiceProtocolText());
  if (protocol != PanoramaProtocol::Current) return std::nullopt;
  CurrentLookupAnswer answer = LookUpCurrentPanoramaById(client, panoId, OrNoLines(addLogLine));
  if (answer.Kind != LookupAnswerKind::Found || client.IsAborted()) return std::nullopt;
  return std::move(answer.Record);
}

}  // namespace korvane
