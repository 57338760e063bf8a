#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "net/FailureKind.h"

namespace korvane {

class HttpClient;

// What the Map Tiles API is asked, one count each: the service bills per request.
enum class MapTilesRequest { Session, Metadata, Tile, PanoIds };

struct MapTilesRequestCounts {
  long long Sessions = 0;
  long long Metadata = 0;
  long long Tiles = 0;
  long long PanoIds = 0;

  bool Any() const { return Sessions + Metadata + Tiles + PanoIds > 0; }
  MapTilesRequestCounts& operator+=(const MapTilesRequestCounts& other);
  // The requests sent since `earlier` was taken of the same access.
  MapTilesRequestCounts Since(const MapTilesRequestCounts& earlier) const;
};

// "Requests sent to the Map Tiles API: 1 session, 1 metadata, 512 tiles." (panoIds named only
// when some were sent; "session"/"sessions" and "tile"/"tiles" by the count).
std::string BillingLine(const MapTilesRequestCounts& counts);

// "No API key for the Map Tiles API: ..." when the key is missing or unusable in an address.
std::string MissingKeyMessage();

// One run's way into the Map Tiles API, shared by its lookup and every worker (thread-safe):
// the key, the session every request carries, and the count of requests sent. The session is
// opened at the first request and renewed when it has expired by its own expiry, or when the
// service calls it expired or unknown; a request refused for its session is sent again on the
// renewed one, and a refusal of a renewed session the service never accepted stops the run
// (AccessRefusedError): it is no matter of time. After a refusal of the key, the API or billing
// no further request goes out: each raises AccessRefusedError at once, without a message (the
// first refusal's carried the line). The key and
// the session are added to each address when it is sent (WithCredentials) and appear in no
// text this object produces.
class MapTilesAccess {
 public:
  // base: MapTilesBase(); key: the user's key (IsSafeCredential, else every request raises
  // AccessRefusedError with MissingKeyMessage).
  MapTilesAccess(std::string base, std::string key);
  MapTilesAccess(const MapTilesAccess&) = delete;
  MapTilesAccess& operator=(const MapTilesAccess&) = delete;

  const std::string& Base() const { return base_; }

  // GET of address (without credentials) over client, counted as kind. Raises what the client
  // raises, except that an error answer of the service that refuses the key, the API or
  // billing raises AccessRefusedError with its one line (MapTilesErrorLine).
  void Get(HttpClient& client, MapTilesRequest kind, const std::string& address, std::string& body);
  // The same for a POST of a JSON body.
  void PostJson(HttpClient& client, MapTilesRequest kind, const std::string& address,
                const std::string& json, std::string& body);

  // A transport for the callers that take one (the tile fetch, the lookup's attempts).
  HttpGetFunction GetFunction(HttpClient& client, MapTilesRequest kind);

  MapTilesRequestCounts Counts() const;

 private:
  struct Session {
    std::string Token;
    long long Expiry = 0;
    int Generation = 0;
  };
  // The session to send with: the open one unless it has expired (or none is open).
  Session Usable(HttpClient& client);
  // A new session unless another thread already replaced the one of that generation.
  Session Renewed(HttpClient& client, int refusedGeneration);
  Session OpenLocked(HttpClient& client);
  void Send(HttpClient& client, MapTilesRequest kind, const std::string& address,
            const std::string* json, std::string& body);
  void Count(MapTilesRequest kind);
  // Raises AccessRefusedError with the line, or without one after the run's first refusal,
  // and refuses every later request at once.
  [[noreturn]] void Refuse(int status, const std::string& line);
  // A request on the session of that generation was answered.
  void MarkAccepted(int generation);
  bool WasAccepted(int generation) const;
  // True for the one request that goes out first on the session of this generation.
  bool TakeFirst(int generation);

  const std::string base_;
  const std::string key_;
  std::mutex mutex_;  // guards session_ and the opening of a session
  Session session_;
  std::atomic<bool> refused_{false};         // the key, the API or billing was refused
  std::atomic<int> acceptedGeneration_{0};   // the newest session the service answered on
  std::atomic<int> firstSentGeneration_{0};  // the newest session a request went out on
  std::atomic<long long> sessions_{0};
  std::atomic<long long> metadata_{0};
  std::atomic<long long> tiles_{0};
  std::atomic<long long> panoIds_{0};
};

}  // namespace korvane
