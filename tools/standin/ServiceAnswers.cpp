#include "ServiceAnswers.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "PanoramaId.h"
#include "PanoramaMessage.h"
#include "PanoramaSizes.h"
#include "TileGrid.h"
#include "TownMessage.h"

namespace korvane::standin {

namespace {

constexpr const char* XmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
constexpr const char* XmlType = "text/xml; charset=UTF-8";
constexpr const char* HtmlType = "text/html; charset=UTF-8";
constexpr const char* JavaScriptType = "text/javascript; charset=UTF-8";
constexpr const char* JsonType = "application/json; charset=UTF-8";
constexpr int NoImagesStatus = 5;
// What the by-id answer starts with, as the real one does: a guard against reading it as a
// script, and a line end.
constexpr std::string_view ByIdGuard = ")]}'\n";

std::string NoImagesJson() {
  return nlohmann::json{{NoImagesStatus, "generic", "Search returned no images."}}.dump();
}

std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

// R = [[0], M] in the callback, as the lookup answers.
std::string LookupAnswerOf(const std::string& callback, const nlohmann::json& message) {
  const nlohmann::json root = {{0}, message};
  return "/**/" + callback + " && " + callback + "( " + root.dump() + " )";
}

// [[0], [M]] after the guard, as the by-id request answers.
std::string ByIdAnswerOf(const nlohmann::json& message) {
  const nlohmann::json root = {{0}, {message}};
  return std::string(ByIdGuard) + root.dump();
}

Reply WithBody(std::string contentType, std::string body) {
  Reply reply;
  reply.ContentType = std::move(contentType);
  reply.Body = std::make_shared<const std::string>(std::move(body));
  return reply;
}

}  // namespace

std::string MetadataXml(double latitude, double longitude) {
  const auto cell = CellOf(latitude, longitude);
  if (!cell) return NoCoverageXml();
  const std::string id = PanoIdOf(*cell);
  const std::uint64_t seed = StableHash(id);
  const double yaw = static_cast<double>(seed % 36000) / 100.0;
  const double elevation = static_cast<double>((seed >> 20) % 3000) / 10.0;
  char dimensions[160];
  std::snprintf(dimensions, sizeof dimensions,
                "image_width=\"%d\" image_height=\"%d\" tile_width=\"%d\" tile_height=\"%d\"",
                FullImageWidth, FullImageHeight, TilePixels, TilePixels);
  std::string xml = XmlDeclaration;
  xml += "<panorama><data_properties ";
  xml += dimensions;
  xml += " pano_id=\"" + id + "\" num_zoom_levels=\"" + std::to_string(MaxZoom) + "\"";
  xml += " lat=\"" + Degrees(CellCentreLatitude(*cell)) + "\"";
  xml += " lng=\"" + Degrees(CellCentreLongitude(*cell)) + "\"";
  xml += " original_lat=\"" + Degrees(latitude) + "\"";
  xml += " original_lng=\"" + Degrees(longitude) + "\"";
  xml += " elevation_wgs84_m=\"" + Degrees(elevation) + "\">";
  xml += "<copyright>(c) Korvane stand-in service</copyright>";
  xml += "<text>Stand-in street</text><region>Offline</region></data_properties>\n";
  xml += "<projection_properties projection_type=\"spherical\" pano_yaw_deg=\"" + Degrees(yaw) +
         "\" tilt_yaw_deg=\"0.000000\" tilt_pitch_deg=\"0.000000\"/>\n";
  xml += "<annotation_properties></annotation_properties>\n";
  xml += "</panorama>\n";
  return xml;
}

std::string NoCoverageXml() {
  return std::string(XmlDeclaration) + "<panorama/>\n";
}

std::string LookupAnswer(const std::string& callback, double latitude, double longitude) {
  const auto cell = CellOf(latitude, longitude);
  if (!cell) return NoPanoramaAnswer(callback);
  return LookupAnswerOf(callback, PanoramaMessage(*cell, 0));
}

std::string TownLookupAnswer(const StreetNetwork& town, const std::string& callback,
                             double latitude, double longitude, double radiusMetres) {
  const PanoramaRecord* nearest = town.Nearest({latitude, longitude}, radiusMetres);
  if (!nearest) return NoPanoramaAnswer(callback);
  return LookupAnswerOf(callback, TownPanoramaMessage(town, *nearest));
}

std::optional<std::string> TownByIdAnswer(const StreetNetwork& town, const std::string& panoId) {
  const PanoramaRecord* capture = town.ById(panoId);
  if (!capture) return std::nullopt;
  return ByIdAnswerOf(TownPanoramaMessage(town, *capture));
}

std::string NoPanoramaAnswer(const std::string& callback) {
  return "/**/" + callback + " && " + callback + "( " + NoImagesJson() + " )";
}

std::string ByIdAnswer(const std::string& panoId) {
  const auto capture = CaptureOfPanoId(panoId);
  if (!capture) return NoPanoramaByIdAnswer();
  return ByIdAnswerOf(PanoramaMessage(capture->Cell, capture->Capture));
}

std::string NoPanoramaByIdAnswer() {
  return std::string(ByIdGuard) + NoImagesJson();
}

Reply NoPanoramaReply(const ServiceRequest& request) {
  if (request.Kind == RequestKind::Lookup) {
    return WithBody(JavaScriptType, NoPanoramaAnswer(request.Callback));
  }
  if (request.Kind == RequestKind::ById) return WithBody(JsonType, NoPanoramaByIdAnswer());
  return WithBody(XmlType, NoCoverageXml());
}

std::string ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 304:
      return "Not Modified";
    case 307:
      return "Temporary Redirect";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 429:
      return "Too Many Requests";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    default:
      return "Unknown";
  }
}

Reply StatusReply(int status, const std::string& reason) {
  const std::string title = std::to_string(status) + (reason.empty() ? "" : " " + reason);
  Reply reply = WithBody(HtmlType, "<html><head><title>" + title + "</title></head><body><h1>" +
                                       title + "</h1></body></html>\n");
  reply.Status = status;
  reply.Reason = reason;
  if (status >= 300 && status < 400) reply.Headers.emplace_back("Location", "/sorry/");
  return reply;
}

Reply StandinService::Placeholder() const {
  Reply reply;
  reply.ContentType = "image/jpeg";
  reply.Body = tiles_.BlackTile();
  return reply;
}

Reply StandinService::Answer(const ServiceRequest& request) const {
  if (!request.Valid()) return StatusReply(400, ReasonPhrase(400));
  if (request.Kind == RequestKind::Metadata) {
    return WithBody(XmlType, MetadataXml(request.Latitude, request.Longitude));
  }
  if (request.Kind == RequestKind::Lookup && town_) {
    return WithBody(JavaScriptType, TownLookupAnswer(*town_, request.Callback, request.Latitude,
                                                     request.Longitude, request.RadiusMetres));
  }
  if (request.Kind == RequestKind::Lookup) {
    return WithBody(JavaScriptType,
                    LookupAnswer(request.Callback, request.Latitude, request.Longitude));
  }
  if (request.Kind == RequestKind::ById) {
    if (town_)
      if (auto answer = TownByIdAnswer(*town_, request.PanoId))
        return WithBody(JsonType, std::move(*answer));
    return WithBody(JsonType, ByIdAnswer(request.PanoId));
  }
  Reply reply;
  reply.ContentType = "image/jpeg";
  if (request.Protocol == TileProtocol::Current && town_ && town_->ById(request.PanoId)) {
    reply.Body = tiles_.ShapedTile(request.PanoId, ShapeOf(TownPanoramaSize), request.X, request.Y,
                                   request.Zoom);
  } else {
    reply.Body = request.Protocol != TileProtocol::Classic
                     ? tiles_.CurrentTile(request.PanoId, request.X, request.Y, request.Zoom)
                     : tiles_.Tile(request.PanoId, request.X, request.Y, request.Zoom);
  }
  return reply;
}

}  // namespace korvane::standin
