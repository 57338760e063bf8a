#include "ServiceRequest.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "PanoramaId.h"
#include "platform/NumberFormat.h"

namespace korvane::standin {

namespace {

constexpr std::string_view LookupPath = "/maps/api/js/GeoPhotoService.SingleImageSearch";
constexpr std::string_view CurrentTilePath = "/v1/tile";
constexpr std::string_view ByIdPath = "/maps/photometa/v1";
// Where the by-id request's pb names the panorama: the field after "!1e2" (a panorama, not a
// photo).
constexpr std::string_view ByIdField = "!1e2!2s";
constexpr std::string_view SessionPath = "/v1/createSession";
constexpr std::string_view MapTilesMetadataPath = "/v1/streetview/metadata";
constexpr std::string_view MapTilesPanoIdsPath = "/v1/streetview/panoIds";
constexpr std::string_view MapTilesTilePrefix = "/v1/streetview/tiles/";

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexDigitValue(text[i + 1]);
    const int low = HexDigitValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

// key=value pairs separated by "&"; nothing when a pair is malformed or a key repeats.
std::optional<std::map<std::string, std::string>> ParseQuery(std::string_view query) {
  std::map<std::string, std::string> parameters;
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (pair.empty()) continue;
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || equals == 0) return std::nullopt;
    auto key = PercentDecode(pair.substr(0, equals));
    auto value = PercentDecode(pair.substr(equals + 1));
    if (!key || !value || !parameters.emplace(*key, *value).second) return std::nullopt;
  }
  return parameters;
}

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> ParseCoordinate(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

ServiceRequest Refused(RequestKind kind, std::string problem) {
  ServiceRequest request;
  request.Kind = kind;
  request.Problem = std::move(problem);
  return request;
}

// The point of a metadata or lookup request, from its two coordinate texts.
ServiceRequest AtPoint(RequestKind kind, std::string_view latitudeText,
                       std::string_view longitudeText) {
  const auto latitude = ParseCoordinate(latitudeText);
  const auto longitude = ParseCoordinate(longitudeText);
  if (!latitude || !longitude || std::fabs(*latitude) > 90.0 || std::fabs(*longitude) > 180.0) {
    return Refused(kind, "the point is not on the globe");
  }
  ServiceRequest request;
  request.Kind = kind;
  request.Latitude = *latitude;
  request.Longitude = *longitude;
  return request;
}

ServiceRequest Metadata(const std::map<std::string, std::string>& parameters) {
  const auto ll = parameters.find("ll");
  if (ll == parameters.end()) return Refused(RequestKind::Metadata, "no ll parameter");
  const std::size_t comma = ll->second.find(',');
  if (comma == std::string::npos || ll->second.find(',', comma + 1) != std::string::npos) {
    return Refused(RequestKind::Metadata, "ll is not LAT,LON");
  }
  return AtPoint(RequestKind::Metadata, std::string_view(ll->second).substr(0, comma),
                 std::string_view(ll->second).substr(comma + 1));
}

// The text of a "!<tag>" field of a pb value, up to the next "!".
std::optional<std::string_view> PbField(std::string_view pb, std::string_view tag) {
  const std::string marker = "!" + std::string(tag);
  const std::size_t at = pb.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = pb.substr(at + marker.size());
  return rest.substr(0, rest.find('!'));
}

bool IsCallbackName(std::string_view name) {
  if (name.empty() || name.size() > 100) return false;
  for (const char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.' || c == '$';
    if (!ok) return false;
  }
  return true;
}

ServiceRequest Lookup(const std::map<std::string, std::string>& parameters) {
  const auto pb = parameters.find("pb");
  const auto callback = parameters.find("callback");
  if (pb == parameters.end() || callback == parameters.end()) {
    return Refused(RequestKind::Lookup, "no pb or callback parameter");
  }
  if (!IsCallbackName(callback->second)) return Refused(RequestKind::Lookup, "bad callback name");
  const auto latitude = PbField(pb->second, "3d");
  const auto longitude = PbField(pb->second, "4d");
  if (!latitude || !longitude) return Refused(RequestKind::Lookup, "pb holds no !3d and !4d");
  ServiceRequest request = AtPoint(RequestKind::Lookup, *latitude, *longitude);
  if (const auto radiusText = PbField(pb->second, "2d")) {
    const auto radius = ParseCoordinate(*radiusText);
    if (!radius || *radius < 0) return Refused(RequestKind::Lookup, "pb's !2d is no radius");
    request.RadiusMetres = *radius;
  }
  request.Callback = callback->second;
  return request;
}

ServiceRequest ById(const std::map<std::string, std::string>& parameters) {
  const auto pb = parameters.find("pb");
  if (pb == parameters.end()) return Refused(RequestKind::ById, "no pb parameter");
  const std::size_t at = pb->second.find(ByIdField);
  if (at == std::string::npos) return Refused(RequestKind::ById, "pb names no panorama");
  const std::string_view rest = std::string_view(pb->second).substr(at + ByIdField.size());
  ServiceRequest request;
  request.Kind = RequestKind::ById;
  request.PanoId = std::string(rest.substr(0, rest.find('!')));
  if (const auto cell = CellOfPanoId(request.PanoId)) {
    request.Latitude = CellCentreLatitude(*cell);
    request.Longitude = CellCentreLongitude(*cell);
  }
  return request;
}

ServiceRequest Tile(const std::map<std::string, std::string>& parameters, TileProtocol protocol) {
  ServiceRequest request;
  request.Kind = RequestKind::Tile;
  request.Protocol = protocol;
  const auto find = [&parameters](const char* key) -> const std::string* {
    const auto found = parameters.find(key);
    return found == parameters.end() ? nullptr : &found->second;
  };
  const std::string* panoId = find("panoid");
  const std::string* x = find("x");
  const std::string* y = find("y");
  const std::string* zoom = find("zoom");
  if (!panoId || !x || !y || !zoom) return Refused(RequestKind::Tile, "missing tile parameter");
  const auto xValue = ParseInt(*x);
  const auto yValue = ParseInt(*y);
  const auto zoomValue = ParseInt(*zoom);
  if (!xValue || !yValue || !zoomValue) return Refused(RequestKind::Tile, "malformed number");
  request.PanoId = *panoId;
  request.X = *xValue;
  request.Y = *yValue;
  request.Zoom = *zoomValue;
  return request;
}

std::string ValueOr(const std::map<std::string, std::string>& parameters, const char* key) {
  const auto found = parameters.find(key);
  return found == parameters.end() ? std::string() : found->second;
}

// "Z/X/Y" of a Map Tiles API tile path.
ServiceRequest MapTilesTile(std::string_view place,
                            const std::map<std::string, std::string>& parameters) {
  ServiceRequest request;
  request.Kind = RequestKind::Tile;
  request.Protocol = TileProtocol::MapTiles;
  request.Call = MapTilesCall::Tile;
  int numbers[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const std::size_t slash = place.find('/');
    if ((i < 2) == (slash == std::string_view::npos))
      return Refused(RequestKind::Tile, "the tile path is not Z/X/Y");
    const auto value = ParseInt(place.substr(0, slash));
    if (!value) return Refused(RequestKind::Tile, "malformed number");
    numbers[i] = *value;
    place = slash == std::string_view::npos ? std::string_view() : place.substr(slash + 1);
  }
  const auto panoId = parameters.find("panoId");
  if (panoId == parameters.end()) return Refused(RequestKind::Tile, "no panoId parameter");
  request.Zoom = numbers[0];
  request.X = numbers[1];
  request.Y = numbers[2];
  request.PanoId = panoId->second;
  return request;
}

std::optional<ServiceRequest> MapTilesRequest(
    std::string_view method, std::string_view path,
    const std::map<std::string, std::string>& parameters) {
  ServiceRequest request;
  if (path.substr(0, MapTilesTilePrefix.size()) == MapTilesTilePrefix && method == "GET") {
    request = MapTilesTile(path.substr(MapTilesTilePrefix.size()), parameters);
  } else if (path == SessionPath && method == "POST") {
    request.Kind = RequestKind::MapTiles;
    request.Call = MapTilesCall::CreateSession;
  } else if (path == MapTilesPanoIdsPath && method == "POST") {
    request.Kind = RequestKind::MapTiles;
    request.Call = MapTilesCall::PanoIds;
  } else if (path == MapTilesMetadataPath && method == "GET") {
    // By the panorama's id, or by a point to search around.
    if (parameters.count("panoId") != 0) {
      request.Kind = RequestKind::MapTiles;
      request.PanoId = ValueOr(parameters, "panoId");
    } else {
      request =
          AtPoint(RequestKind::MapTiles, ValueOr(parameters, "lat"), ValueOr(parameters, "lng"));
    }
    request.Call = MapTilesCall::Metadata;
  } else {
    return std::nullopt;
  }
  request.Key = ValueOr(parameters, "key");
  request.Session = ValueOr(parameters, "session");
  return request;
}

}  // namespace

std::string CountedTarget(std::string_view target) {
  const std::string origin = OriginForm(target);
  const std::size_t question = origin.find('?');
  if (question == std::string::npos ||
      (origin.find("key=") == std::string::npos && origin.find("session=") == std::string::npos))
    return origin;
  std::string counted = origin.substr(0, question);
  char joint = '?';
  std::string_view query = std::string_view(origin).substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (pair.starts_with("key=") || pair.starts_with("session=")) continue;
    counted += joint;
    counted += pair;
    joint = '&';
  }
  return counted;
}

std::string OriginForm(std::string_view target) {
  if (target.size() < 7 || target.front() == '/') return std::string(target);
  const std::size_t path = target.find('/', 7);  // after "http://host"
  return path == std::string_view::npos ? std::string("/") : std::string(target.substr(path));
}

ServiceRequest ClassifyRequest(std::string_view method, std::string_view target) {
  const std::string origin = OriginForm(target);
  const std::size_t question = origin.find('?');
  const std::string_view path = std::string_view(origin).substr(0, question);
  if (path.substr(0, 4) == "/v1/" && path != CurrentTilePath) {
    const auto parameters =
        ParseQuery(question == std::string::npos ? std::string_view()
                                                 : std::string_view(origin).substr(question + 1));
    if (!parameters) return Refused(RequestKind::Other, "malformed query");
    if (auto request = MapTilesRequest(method, path, *parameters)) return *request;
    return Refused(RequestKind::Other, "unknown path");
  }
  if (method != "GET") return Refused(RequestKind::Other, "method other than GET");
  if (path != "/cbk" && path != LookupPath && path != CurrentTilePath && path != ByIdPath) {
    return Refused(RequestKind::Other, "unknown path");
  }
  const std::string_view query = question == std::string::npos
                                     ? std::string_view()
                                     : std::string_view(origin).substr(question + 1);
  const auto parameters = ParseQuery(query);
  if (!parameters) return Refused(RequestKind::Other, "malformed query");
  if (path == LookupPath) return Lookup(*parameters);
  if (path == ByIdPath) return ById(*parameters);
  if (path == CurrentTilePath) return Tile(*parameters, TileProtocol::Current);
  const auto output = parameters->find("output");
  if (output == parameters->end()) return Refused(RequestKind::Other, "no output parameter");
  if (output->second == "xml") return Metadata(*parameters);
  if (output->second == "tile") return Tile(*parameters, TileProtocol::Classic);
  return Refused(RequestKind::Other, "unknown output");
}

}  // namespace korvane::standin
