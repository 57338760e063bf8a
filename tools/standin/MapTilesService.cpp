#include "MapTilesService.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

#include "PanoramaId.h"
#include "PanoramaMessage.h"
#include "PanoramaSizes.h"

namespace korvane::standin {
namespace {

using Json = nlohmann::json;

constexpr const char* JsonType = "application/json; charset=UTF-8";
constexpr int TileSide = 512;
constexpr auto QuotaWindow = std::chrono::minutes(1);
constexpr const char* BadKeyMessage = "API key not valid. Please pass a valid API key.";
constexpr const char* DisabledMessage =
    "Map Tiles API has not been used in this project before or it is disabled. Enable it, then "
    "retry.";
constexpr const char* BillingMessage =
    "This API method requires billing to be enabled. Please enable billing on the project, "
    "then retry.";
constexpr const char* QuotaMessage = "Quota exceeded for quota metric 'Requests' per minute.";
constexpr const char* SessionMessage = "The session token is invalid or has expired.";

long long NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

Reply JsonReply(const Json& json) {
  Reply reply;
  reply.ContentType = JsonType;
  reply.Body = std::make_shared<const std::string>(json.dump());
  return reply;
}

}  // namespace

bool AddApiKey(MapTilesSettings& settings, const std::string& option) {
  const std::size_t colon = option.find(':');
  const std::string key = option.substr(0, colon);
  if (key.empty()) return false;
  const std::string state = colon == std::string::npos ? "" : option.substr(colon + 1);
  if (state.empty()) {
    settings.Keys[key] = KeyState::Valid;
  } else if (state == "disabled") {
    settings.Keys[key] = KeyState::ApiDisabled;
  } else if (state == "billing") {
    settings.Keys[key] = KeyState::BillingOff;
  } else {
    return false;
  }
  return true;
}

Reply MapTilesErrorReply(int code, const std::string& message, const std::string& status) {
  Reply reply = JsonReply({{"error", {{"code", code}, {"message", message}, {"status", status}}}});
  reply.Status = code;
  reply.Reason = ReasonPhrase(code);
  return reply;
}

std::optional<std::string> MapTilesMetadataJson(double latitude, double longitude) {
  const auto cell = CellOf(latitude, longitude);
  if (!cell) return std::nullopt;
  const std::string id = PanoIdOf(*cell);
  const PanoramaShape shape = ShapeOf(SizeOfCell(*cell));
  // The same month the current lookup gives the place's newest capture.
  const auto [year, month] = CaptureDateOf(*cell, 0);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d", year, month);
  const std::uint64_t seed = StableHash(id);
  Json links = Json::array();
  for (const int step : {-1, 1}) {
    PanoramaCell neighbour = *cell;
    neighbour.LonIndex += step;
    links.push_back({{"panoId", PanoIdOf(neighbour)},
                     {"heading", step > 0 ? 90.0 : 270.0},
                     {"text", "Stand-in street"}});
  }
  const Json metadata = {
      {"panoId", id},
      {"lat", CellCentreLatitude(*cell)},
      {"lng", CellCentreLongitude(*cell)},
      {"imageWidth", shape.Width},
      {"imageHeight", shape.Height},
      {"tileWidth", TileSide},
      {"tileHeight", TileSide},
      {"heading", static_cast<double>(seed % 3600) / 10.0},
      {"tilt", 90.0},
      {"roll", 0.0},
      {"imageryType", "outdoor"},
      {"date", date},
      {"copyright", "From the stand-in"},
      {"links", links},
  };
  return metadata.dump();
}

std::optional<std::string> PanoIdsJson(std::string_view body) {
  const Json json = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  const auto locations = json.find("locations");
  if (locations == json.end() || !locations->is_array() || locations->size() > MaxPanoIdsLocations)
    return std::nullopt;
  Json ids = Json::array();
  for (const Json& location : *locations) {
    if (!location.is_object() || !location.contains("lat") || !location.contains("lng") ||
        !location["lat"].is_number() || !location["lng"].is_number())
      return std::nullopt;
    const auto cell = CellOf(location["lat"].get<double>(), location["lng"].get<double>());
    ids.push_back(cell ? PanoIdOf(*cell) : "");
  }
  return Json({{"panoIds", ids}}).dump();
}

MapTilesService::MapTilesService(MapTilesSettings settings, const StandinService& answers)
    : settings_(std::move(settings)), answers_(answers) {}

std::optional<Reply> MapTilesService::Refusal(const ServiceRequest& request) {
  std::lock_guard lock(mutex_);
  if (settings_.QuotaPerMinute > 0) {
    const auto now = std::chrono::steady_clock::now();
    if (now - quotaWindow_ >= QuotaWindow) {
      quotaWindow_ = now;
      quotaUsed_ = 0;
    }
    // Refused requests count too, as the service counts them.
    if (++quotaUsed_ > settings_.QuotaPerMinute)
      return MapTilesErrorReply(429, QuotaMessage, "RESOURCE_EXHAUSTED");
  }
  const auto key = settings_.Keys.find(request.Key);
  if (key == settings_.Keys.end())
    return MapTilesErrorReply(400, BadKeyMessage, "INVALID_ARGUMENT");
  if (key->second == KeyState::ApiDisabled)
    return MapTilesErrorReply(403, DisabledMessage, "PERMISSION_DENIED");
  if (key->second == KeyState::BillingOff)
    return MapTilesErrorReply(403, BillingMessage, "PERMISSION_DENIED");
  if (request.Call == MapTilesCall::CreateSession) return std::nullopt;
  const auto session = sessions_.find(request.Session);
  if (session == sessions_.end() || session->second.Expiry <= NowSeconds() ||
      (settings_.SessionRequests > 0 && session->second.Requests >= settings_.SessionRequests))
    return MapTilesErrorReply(400, SessionMessage, "INVALID_ARGUMENT");
  ++session->second.Requests;
  return std::nullopt;
}

Reply MapTilesService::NewSession(const std::string& contentType, std::string_view body) {
  const Json json = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (contentType.rfind("application/json", 0) != 0 || !json.is_object() ||
      json.value("mapType", "") != "streetview")
    return MapTilesErrorReply(400, "Invalid JSON payload: mapType must be streetview.",
                              "INVALID_ARGUMENT");
  std::lock_guard lock(mutex_);
  const std::string token = "standin-session-" + std::to_string(++sessionNumber_);
  const long long expiry = NowSeconds() + settings_.SessionSeconds;
  sessions_[token] = Session{expiry, 0};
  return JsonReply({{"session", token},
                    {"expiry", std::to_string(expiry)},
                    {"tileWidth", TileSide},
                    {"tileHeight", TileSide},
                    {"imageFormat", "jpeg"}});
}

Reply MapTilesService::Answer(const ServiceRequest& request, const std::string& contentType,
                              std::string_view body) {
  if (!request.Valid()) return MapTilesErrorReply(400, request.Problem, "INVALID_ARGUMENT");
  if (std::optional<Reply> refused = Refusal(request)) return std::move(*refused);
  switch (request.Call) {
    case MapTilesCall::CreateSession:
      return NewSession(contentType, body);
    case MapTilesCall::Metadata: {
      const std::optional<PanoramaCell> cell = request.PanoId.empty()
                                                   ? CellOf(request.Latitude, request.Longitude)
                                                   : CellOfPanoId(request.PanoId);
      const std::optional<std::string> metadata =
          cell ? MapTilesMetadataJson(CellCentreLatitude(*cell), CellCentreLongitude(*cell))
               : std::nullopt;
      if (!metadata) return MapTilesErrorReply(404, "Street View imagery not found.", "NOT_FOUND");
      Reply reply;
      reply.ContentType = JsonType;
      reply.Body = std::make_shared<const std::string>(*metadata);
      return reply;
    }
    case MapTilesCall::PanoIds: {
      const std::optional<std::string> ids = PanoIdsJson(body);
      if (!ids) return MapTilesErrorReply(400, "Invalid locations.", "INVALID_ARGUMENT");
      Reply reply;
      reply.ContentType = JsonType;
      reply.Body = std::make_shared<const std::string>(*ids);
      return reply;
    }
    case MapTilesCall::Tile:
      return answers_.Answer(request);
    case MapTilesCall::None:
      break;
  }
  return MapTilesErrorReply(400, "Unknown request.", "INVALID_ARGUMENT");
}

}  // namespace korvane::standin
