#include "maptiles/MapTilesAccess.h"

#include <chrono>

#include "maptiles/MapTilesAnswers.h"
#include "net/HttpClient.h"
#include "net/HttpErrors.h"
#include "net/MapTilesAddresses.h"
#include "task/TaskParameters.h"

namespace korvane {
namespace {

constexpr const char* JsonContentType = "application/json";
// The sessions one request may go through: as many workers as a task may have in flight may find
// one session expired at once, and the one renewed for them may run out again while they repeat
// their requests.
constexpr int MaxSessionRenewals = MaxConnections;

long long NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string Counted(long long count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

MapTilesRequestCounts& MapTilesRequestCounts::operator+=(const MapTilesRequestCounts& other) {
  Sessions += other.Sessions;
  Metadata += other.Metadata;
  Tiles += other.Tiles;
  PanoIds += other.PanoIds;
  return *this;
}

MapTilesRequestCounts MapTilesRequestCounts::Since(const MapTilesRequestCounts& earlier) const {
  return {Sessions - earlier.Sessions, Metadata - earlier.Metadata, Tiles - earlier.Tiles,
          PanoIds - earlier.PanoIds};
}

std::string BillingLine(const MapTilesRequestCounts& counts) {
  std::string line =
      "Requests sent to the Map Tiles API: " + Counted(counts.Sessions, "session", "sessions") +
      ", ";
  if (counts.PanoIds > 0) line += Counted(counts.PanoIds, "panoIds", "panoIds") + ", ";
  return line + Counted(counts.Metadata, "metadata", "metadata") + ", " +
         Counted(counts.Tiles, "tile", "tiles") + ".";
}

std::string MissingKeyMessage() {
  return "No API key for the Map Tiles API: set KORVANE_API_KEY or ApiKey in the [Service] "
         "section of config.ini (letters, digits, \"-\", \"_\" and \".\" only).";
}

MapTilesAccess::MapTilesAccess(std::string base, std::string key)
    : base_(std::move(base)), key_(std::move(key)) {}

void MapTilesAccess::Get(HttpClient& client, MapTilesRequest kind, const std::string& address,
                         std::string& body) {
  Send(client, kind, address, nullptr, body);
}

void MapTilesAccess::PostJson(HttpClient& client, MapTilesRequest kind, const std::string& address,
                              const std::string& json, std::string& body) {
  Send(client, kind, address, &json, body);
}

HttpGetFunction MapTilesAccess::GetFunction(HttpClient& client, MapTilesRequest kind) {
  return [this, &client, kind](const std::string& address, std::string& body) {
    Get(client, kind, address, body);
  };
}

MapTilesRequestCounts MapTilesAccess::Counts() const {
  return {sessions_.load(), metadata_.load(), tiles_.load(), panoIds_.load()};
}

void MapTilesAccess::Count(MapTilesRequest kind) {
  switch (kind) {
    case MapTilesRequest::Session:
      ++sessions_;
      break;
    case MapTilesRequest::Metadata:
      ++metadata_;
      break;
    case MapTilesRequest::Tile:
      ++tiles_;
      break;
    case MapTilesRequest::PanoIds:
      ++panoIds_;
      break;
  }
}

MapTilesAccess::Session MapTilesAccess::OpenLocked(HttpClient& client) {
  if (!IsSafeCredential(key_)) Refuse(0, MissingKeyMessage());
  std::string answer;
  Count(MapTilesRequest::Session);
  try {
    client.Post(WithCredentials(MapTilesSessionUrl(base_), "", key_), JsonContentType,
                SessionRequestBody(), answer);
  } catch (const HttpStatusError& status) {
    const std::optional<MapTilesError> error = ParseMapTilesError(answer);
    // Any refusal of a new session is the key's, whatever words the service chose.
    if (error && MeaningOf(*error) != MapTilesErrorMeaning::Other)
      Refuse(status.ReplyErrorCode(), MapTilesErrorLine(*error));
    throw;
  }
  std::string problem;
  const std::optional<MapTilesSessionAnswer> parsed = ParseSessionAnswer(answer, problem);
  if (!parsed) Refuse(0, "Map Tiles API: " + problem + ".");
  session_ = Session{parsed->Session, parsed->Expiry, session_.Generation + 1};
  return session_;
}

MapTilesAccess::Session MapTilesAccess::Usable(HttpClient& client) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (session_.Token.empty() || session_.Expiry <= NowSeconds()) return OpenLocked(client);
  return session_;
}

void MapTilesAccess::MarkAccepted(int generation) {
  int seen = acceptedGeneration_.load();
  while (seen < generation && !acceptedGeneration_.compare_exchange_weak(seen, generation)) {
  }
}

bool MapTilesAccess::TakeFirst(int generation) {
  int seen = firstSentGeneration_.load();
  while (seen < generation) {
    if (firstSentGeneration_.compare_exchange_weak(seen, generation)) return true;
  }
  return false;
}

bool MapTilesAccess::WasAccepted(int generation) const {
  return acceptedGeneration_.load() >= generation;
}

MapTilesAccess::Session MapTilesAccess::Renewed(HttpClient& client, int refusedGeneration) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (session_.Generation != refusedGeneration) return session_;
  return OpenLocked(client);
}

void MapTilesAccess::Refuse(int status, const std::string& line) {
  // Only the first refusal tells why; the others of the run stop as quietly.
  const bool first = !refused_.exchange(true);
  throw AccessRefusedError(status, first ? line : std::string());
}

void MapTilesAccess::Send(HttpClient& client, MapTilesRequest kind, const std::string& address,
                          const std::string* json, std::string& body) {
  // A refused key is refused for every request: none more goes out and is billed.
  if (refused_.load()) throw AccessRefusedError(0, "");
  Session session = Usable(client);
  for (int renewals = 0;; ++renewals) {
    body.clear();
    Count(kind);
    const bool firstOnSession = TakeFirst(session.Generation);
    try {
      const std::string sent = WithCredentials(address, session.Token, key_);
      if (json == nullptr) {
        client.Get(sent, body);
      } else {
        client.Post(sent, JsonContentType, *json, body);
      }
      MarkAccepted(session.Generation);
      return;
    } catch (const HttpStatusError& status) {
      const std::optional<MapTilesError> error = ParseMapTilesError(body);
      body.clear();
      if (!error) throw;
      switch (MeaningOf(*error)) {
        case MapTilesErrorMeaning::SessionRefused:
          // An expired session is renewed; a new session whose very first request is refused
          // before the service ever accepted it is not a matter of time, and no further one
          // would fare better. (A later request on a new session may be refused first when
          // others used it up meanwhile and their answers are still on their way.)
          if ((renewals > 0 && firstOnSession && !WasAccepted(session.Generation)) ||
              renewals >= MaxSessionRenewals)
            Refuse(status.ReplyErrorCode(), MapTilesErrorLine(*error));
          session = Renewed(client, session.Generation);
          continue;
        case MapTilesErrorMeaning::AccessRefused:
          Refuse(status.ReplyErrorCode(), MapTilesErrorLine(*error));
        case MapTilesErrorMeaning::Other:
          throw;
      }
    }
  }
}

}  // namespace korvane
