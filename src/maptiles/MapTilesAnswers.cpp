#include "maptiles/MapTilesAnswers.h"

#include <nlohmann/json.hpp>

#include "net/MapTilesAddresses.h"
#include "platform/PrintableText.h"
#include "task/TileGeometry.h"

namespace korvane {
namespace {

using Json = nlohmann::json;

constexpr const char* ServiceName = "Map Tiles API: ";
constexpr const char* SessionTileFormat = "jpeg";

std::optional<Json> ParseObject(const std::string& body) {
  Json json = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  return json;
}

std::string BoundedText(const Json& value) {
  if (!value.is_string()) return "";
  std::string text = PrintableText(value.get<std::string>());
  if (text.size() > MaxErrorMessageLength) text.resize(MaxErrorMessageLength);
  return text;
}

bool Mentions(const std::string& text, const char* word) {
  std::string lowered = text;
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered.find(word) != std::string::npos;
}

int IntegerOr(const Json& object, const char* name, int fallback) {
  const auto found = object.find(name);
  if (found == object.end() || !found->is_number_integer()) return fallback;
  const auto value = found->get<long long>();
  if (value < 0 || value > 1'000'000) return fallback;
  return static_cast<int>(value);
}

}  // namespace

std::optional<MapTilesError> ParseMapTilesError(const std::string& body) {
  const std::optional<Json> json = ParseObject(body);
  if (!json) return std::nullopt;
  const auto error = json->find("error");
  if (error == json->end() || !error->is_object()) return std::nullopt;
  MapTilesError parsed;
  parsed.Code = IntegerOr(*error, "code", 0);
  if (const auto message = error->find("message"); message != error->end())
    parsed.Message = BoundedText(*message);
  if (const auto status = error->find("status"); status != error->end())
    parsed.Status = BoundedText(*status);
  return parsed;
}

MapTilesErrorMeaning MeaningOf(const MapTilesError& error) {
  if (error.Status == "RESOURCE_EXHAUSTED" || error.Status == "NOT_FOUND")
    return MapTilesErrorMeaning::Other;
  // A session the service no longer knows comes back as an invalid argument naming it.
  if ((error.Code == 400 || error.Code == 401 || error.Code == 403) &&
      Mentions(error.Message, "session"))
    return MapTilesErrorMeaning::SessionRefused;
  if (error.Status == "PERMISSION_DENIED" || error.Status == "UNAUTHENTICATED" ||
      error.Code == 401 || error.Code == 403)
    return MapTilesErrorMeaning::AccessRefused;
  // A key that is not valid is an invalid argument too; billing turned off a failed
  // precondition.
  if (error.Status == "FAILED_PRECONDITION" ||
      (error.Status == "INVALID_ARGUMENT" && Mentions(error.Message, "api key")))
    return MapTilesErrorMeaning::AccessRefused;
  return MapTilesErrorMeaning::Other;
}

std::string MapTilesErrorLine(const MapTilesError& error) {
  return ServiceName + (error.Message.empty() ? error.Status : error.Message);
}

std::optional<MapTilesSessionAnswer> ParseSessionAnswer(const std::string& body,
                                                        std::string& problem) {
  const std::optional<Json> json = ParseObject(body);
  if (!json) {
    problem = "the session answer is not a JSON object";
    return std::nullopt;
  }
  MapTilesSessionAnswer answer;
  if (const auto session = json->find("session"); session != json->end() && session->is_string())
    answer.Session = session->get<std::string>();
  if (!IsSafeCredential(answer.Session)) {
    problem = "the session answer holds no usable session";
    return std::nullopt;
  }
  // The expiry comes as a number of seconds written as a string.
  if (const auto expiry = json->find("expiry"); expiry != json->end()) {
    try {
      answer.Expiry = expiry->is_string()           ? std::stoll(expiry->get<std::string>())
                      : expiry->is_number_integer() ? expiry->get<long long>()
                                                    : 0;
    } catch (const std::exception&) {
      answer.Expiry = 0;
    }
  }
  if (answer.Expiry <= 0) {
    problem = "the session answer has no expiry";
    return std::nullopt;
  }
  answer.TileWidth = IntegerOr(*json, "tileWidth", 0);
  answer.TileHeight = IntegerOr(*json, "tileHeight", 0);
  if (const auto format = json->find("imageFormat"); format != json->end())
    answer.ImageFormat = BoundedText(*format);
  if (answer.TileWidth != TilePixels || answer.TileHeight != TilePixels ||
      !Mentions(answer.ImageFormat, SessionTileFormat)) {
    problem = "the session promises tiles that are not 512-pixel JPEG squares";
    return std::nullopt;
  }
  return answer;
}

std::string SessionRequestBody() {
  return R"({"mapType":"streetview","language":"en-US","region":"US"})";
}

}  // namespace korvane
