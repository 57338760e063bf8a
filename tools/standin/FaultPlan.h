#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PanoramaId.h"
#include "RateLimit.h"
#include "ServiceRequest.h"
#include "StandinLimits.h"
#include "platform/Exception.h"

namespace korvane::standin {

// How the service misbehaves for one request. The line format is described in README.md.
enum class FaultKind {
  Ok,           // the normal answer
  Reset,        // the connection is reset (RST) instead of an answer
  Close,        // the connection is closed before the status line
  Cut,          // the head announces the whole body, part of it is sent, the connection closes
  Status,       // a reply with another status (and an HTML page)
  Html,         // 200 with an HTML page instead of the answer
  Empty,        // 200 with an empty body
  Truncate,     // the answer's body cut short, announced with its shortened length
  Corrupt,      // the body keeps its first two bytes (FF D8 for a JPEG) and its length, the rest
                // is garbage without any JPEG marker
  Stall,        // no answer at all; the connection stays open until the client or the service ends
  Chunked,      // the normal answer in chunked transfer coding
  Http10,       // the normal answer as an HTTP/1.0 reply without a length, ended by closing
  NoCoverage,   // metadata, lookup: the answer without a panorama
  HeadOnly,     // the head announces the whole body, then nothing comes; the connection stays
                // open until the client or the service ends it
  Drip,         // the normal answer, head and body, one byte at a time, DripMs apart
  Oversize,     // 200 announcing a body of Bytes (default: more than clients take), filler sent
  Endless,      // 200 with a chunked body of filler whose chunks never stop
  Sorry,        // 302 to the service's "unusual traffic" page
  Placeholder,  // tile: 200 with the service's placeholder (grayscale, all black), as for an id
                // the service no longer serves
};

struct FaultAction {
  FaultKind Kind = FaultKind::Ok;
  int DelayMs = 0;  // waited before the action
  int StatusCode = 0;
  std::string Reason;                    // Status: the reason phrase ("" for none)
  std::optional<std::string> Location;   // Status: a Location header
  std::optional<int> RetryAfterSeconds;  // Status: a Retry-After header
  long long Bytes = -1;                  // Cut, Truncate: body bytes kept; -1 = half the body
                                         // Oversize: the body announced; -1 = OversizeBodyBytes
  int DripMs = DefaultDripMs;            // Drip: the time between two bytes

  // The action as the request log names it: "ok", "reset", "status 404", "delay 200 cut", ...
  std::string Describe() const;
};

// Metadata: the classic lookup; Lookup: the current one and its by-id request; Tile: the tiles
// of both protocols.
enum class RuleSubject { Metadata, Lookup, Tile, Any };
enum class AttemptSpan { Every, First, From, Only };

struct FaultRule {
  int Line = 0;
  RuleSubject Subject = RuleSubject::Any;
  std::optional<int> X;
  std::optional<int> Y;
  std::optional<int> Zoom;
  std::optional<std::string> PanoId;
  std::optional<PanoramaCell> Cell;  // metadata, lookup: the point's cell
  AttemptSpan Span = AttemptSpan::Every;
  int N = 1;  // First: attempts 1..N; From: N and later; Only: N; Every: multiples of N
  FaultAction Action;

  bool Matches(const ServiceRequest& request, int attempt) const;
};

// A plan that cannot be read: "line N: what is wrong".
class EPlanError : public Exception {
 public:
  using Exception::Exception;
};

// The rules of a fault plan, tried in order; the first that matches a request decides.
class FaultPlan {
 public:
  FaultPlan() = default;

  // Raises EPlanError for a line that breaks the format.
  static FaultPlan Parse(std::string_view text);
  // Raises FileOpenError when the file cannot be read, EPlanError as Parse.
  static FaultPlan Load(const std::string& path);

  // The action for a request; attempt counts the requests for the same target, 1 for the
  // first. Ok when no rule matches.
  FaultAction Match(const ServiceRequest& request, int attempt) const;

  const std::vector<FaultRule>& Rules() const { return rules_; }

  // The plan's rate limit ("ratelimit SUBJECT N [retry-after=S]"), tried before the rules, and
  // its subject; at most one per plan.
  const std::optional<RateLimitRule>& RateLimit() const { return rateLimit_; }
  RuleSubject RateLimitSubject() const { return rateLimitSubject_; }
  // The action for a request over the limit: 429 Too Many Requests, with Retry-After if given.
  FaultAction RateLimitedAction() const;
  // Whether the request falls under the rate limit's subject.
  bool RateLimited(const ServiceRequest& request) const;

  // A wait before the answer to every tile request, whatever rule decides it (added to the
  // rule's own delay): the distance to a far-away service. 0..MaxPlanDelayMs; raises EPlanError
  // outside.
  void SetTileLatency(int ms);
  // The wait for a request: the tile latency for a tile, 0 for anything else.
  int LatencyFor(const ServiceRequest& request) const;

 private:
  std::vector<FaultRule> rules_;
  std::optional<RateLimitRule> rateLimit_;
  RuleSubject rateLimitSubject_ = RuleSubject::Any;
  int tileLatencyMs_ = 0;
};

}  // namespace korvane::standin
