#include "lookup/MapTilesPanoIds.h"

#include <nlohmann/json.hpp>

#include "lookup/LookupAttempts.h"
#include "net/BrowserHeaders.h"
#include "net/MapTilesAddresses.h"
#include "task/PanoIdCheck.h"

namespace korvane {

using Json = nlohmann::json;

std::string PanoIdsRequestBody(const std::vector<GeoPoint>& points) {
  Json locations = Json::array();
  for (const auto& [latitude, longitude] : points)
    locations.push_back({{"lat", latitude}, {"lng", longitude}});
  return Json({{"locations", locations}, {"radius", MapTilesSearchRadius}}).dump();
}

std::optional<std::vector<std::string>> ParsePanoIdsAnswer(std::string_view body,
                                                           std::size_t count) {
  const Json root = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!root.is_object()) return std::nullopt;
  const auto ids = root.find("panoIds");
  if (ids == root.end() || !ids->is_array() || ids->size() != count) return std::nullopt;
  std::vector<std::string> found;
  found.reserve(count);
  for (const Json& id : *ids) {
    const bool usable = id.is_string() && IsUsablePanoId(id.get_ref<const std::string&>());
    found.push_back(usable ? id.get<std::string>() : std::string());
  }
  return found;
}

std::optional<std::vector<std::string>> LookUpPanoIds(
    MapTilesAccess& access, HttpClient& client, const std::vector<GeoPoint>& points,
    const std::function<void(const std::string&)>& addLogLine) {
  PrepareLookupClient(client);
  SetCurrentBrowserHeaders(client);
  const std::string request = PanoIdsRequestBody(points);
  const HttpGetFunction post = [&access, &client, &request](const std::string& address,
                                                            std::string& body) {
    access.PostJson(client, MapTilesRequest::PanoIds, address, request, body);
  };
  const std::optional<std::string> answer =
      FetchLookupAnswer(post, MapTilesPanoIdsUrl(access.Base()), CurrentLookupRepeats(), addLogLine,
                        [&client] { return client.IsAborted(); });
  if (!answer) return std::nullopt;
  std::optional<std::vector<std::string>> ids = ParsePanoIdsAnswer(*answer, points.size());
  if (!ids) addLogLine("The panoIds answer is not understood; each place is looked up alone.");
  return ids;
}

}  // namespace korvane
