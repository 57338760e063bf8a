#include "lookup/MapTilesLookup.h"

#include "lookup/LookupAttempts.h"
#include "net/BrowserHeaders.h"
#include "net/HttpErrors.h"
#include "net/MapTilesAddresses.h"

namespace korvane {
namespace {

MapTilesMetadata LookUpMetadata(MapTilesAccess& access, HttpClient& client,
                                const std::string& address,
                                const std::function<void(const std::string&)>& addLogLine,
                                bool& refused) {
  PrepareLookupClient(client);
  SetCurrentBrowserHeaders(client);
  refused = false;
  const HttpGetFunction send = access.GetFunction(client, MapTilesRequest::Metadata);
  const HttpGetFunction get = [&send, &refused](const std::string& url, std::string& body) {
    try {
      send(url, body);
    } catch (const AccessRefusedError&) {
      refused = true;
      throw;
    }
  };
  const std::optional<std::string> body = FetchLookupAnswer(
      get, address, CurrentLookupRepeats(), addLogLine, [&client] { return client.IsAborted(); });
  if (!body) {
    MapTilesMetadata gaveUp;
    gaveUp.Answer.Problem = "no answer";
    return gaveUp;
  }
  MapTilesMetadata metadata = ParseMapTilesMetadata(*body);
  if (metadata.Answer.Kind == LookupAnswerKind::Unreadable)
    addLogLine("The lookup answer is not understood (" + metadata.Answer.Problem + ").");
  return metadata;
}

}  // namespace

MapTilesMetadata LookUpMapTilesPanorama(MapTilesAccess& access, HttpClient& client, double latitude,
                                        double longitude,
                                        const std::function<void(const std::string&)>& addLogLine,
                                        bool& refused) {
  return LookUpMetadata(access, client, MapTilesMetadataUrl(access.Base(), latitude, longitude),
                        addLogLine, refused);
}

MapTilesMetadata LookUpMapTilesPanoramaById(
    MapTilesAccess& access, HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine, bool& refused) {
  return LookUpMetadata(access, client, MapTilesPanoramaMetadataUrl(access.Base(), panoId),
                        addLogLine, refused);
}

}  // namespace korvane
