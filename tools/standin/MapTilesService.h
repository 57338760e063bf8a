#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Reply.h"
#include "ServiceAnswers.h"
#include "ServiceRequest.h"

namespace korvane::standin {

// How a key of the stand-in's Map Tiles API stands with the service.
enum class KeyState {
  Valid,
  ApiDisabled,  // the API is not enabled for the key's project: 403 PERMISSION_DENIED
  BillingOff,   // billing is not enabled: 403 PERMISSION_DENIED naming billing
};

// What the command line sets of the stand-in's Map Tiles API.
struct MapTilesSettings {
  std::map<std::string, KeyState> Keys;  // no key: every request is refused as a bad key
  // How long a session lasts, and after how many requests on it the service calls it expired
  // (0: no such limit), so tests can make a session run out in the middle of a task.
  long long SessionSeconds = 14 * 24 * 3600;
  int SessionRequests = 0;
  // Requests a minute the keys may send together before the answers are 429
  // RESOURCE_EXHAUSTED (0: no quota).
  int QuotaPerMinute = 0;
};

// Reads "KEY" or "KEY:disabled" or "KEY:billing" into settings; false for anything else.
bool AddApiKey(MapTilesSettings& settings, const std::string& option);

// The stand-in's Map Tiles API: sessions, metadata, panoIds and tiles (painted as the current
// protocol's: the ids are the same), each checked for its key, its session and the quota, the
// refusals in the service's JSON error form. Thread-safe.
class MapTilesService {
 public:
  MapTilesService(MapTilesSettings settings, const StandinService& answers);

  // The answer to a request of the API (RequestKind::MapTiles, or a tile of
  // TileProtocol::MapTiles), with the request's Content-Type and body (POST).
  Reply Answer(const ServiceRequest& request, const std::string& contentType,
               std::string_view body);

 private:
  // The refusal of the request's key, session or quota; nothing when it may be answered.
  std::optional<Reply> Refusal(const ServiceRequest& request);
  Reply NewSession(const std::string& contentType, std::string_view body);

  struct Session {
    long long Expiry = 0;
    int Requests = 0;
  };
  const MapTilesSettings settings_;
  const StandinService& answers_;
  std::mutex mutex_;
  std::map<std::string, Session> sessions_;
  int sessionNumber_ = 0;
  std::chrono::steady_clock::time_point quotaWindow_{};
  int quotaUsed_ = 0;
};

// The API's error answer: {"error":{"code":CODE,"message":MESSAGE,"status":STATUS}}.
Reply MapTilesErrorReply(int code, const std::string& message, const std::string& status);

// The metadata JSON of the panorama nearest to a point (nothing where there is no coverage).
std::optional<std::string> MapTilesMetadataJson(double latitude, double longitude);

// The answer of panoIds for a body {"locations":[{"lat":..,"lng":..}...],"radius":..}: the
// ids in the order of the locations, "" where there is none; nothing for a body that is no such
// object or holds more than MaxPanoIdsLocations locations.
inline constexpr std::size_t MaxPanoIdsLocations = 100;
std::optional<std::string> PanoIdsJson(std::string_view body);

}  // namespace korvane::standin
