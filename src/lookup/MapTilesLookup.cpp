#include "lookup/MapTilesLookup.h"

#include "lookup/LookupAttempts.h"
#include "net/BrowserHeaders.h"
#include "net/HttpErrors.h"
#include "net/MapTilesAddresses.h"

namespace korvane {

MapTilesMetadata LookUpMapTilesPanorama(MapTilesAccess& access, HttpClient& client, double latitude,
                                        double longitude,
                                        const std::function<void(const std::string&)>& addLogLine,
                                        bool& refused) {
  PrepareLookupClient(client);
  SetCurrentBrowserHeaders(client);
  refused = false;
  const HttpGetFunction send = access.GetFunction(client, MapTilesRequest::Metadata);
  const HttpGetFunction get = [&send, &refused](const std::string& address, std::string& body) {
    try {
      send(address, body);
    } catch (const AccessRefusedError&) {
      refused = true;
      throw;
    }
  };
  const std::string address = MapTilesMetadataUrl(access.Base(), latitude, longitude);
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

}  // namespace korvane
