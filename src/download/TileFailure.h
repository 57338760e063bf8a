#pragma once

#include "net/FailureKind.h"
#include "platform/Clock.h"

namespace korvane {

// The kinds of failed tile request, one per row of the worker's failure table.
enum class TileFailureKind {
  ConnectionReset,  // reset (10054) or closed before the reply ended: a passing failure
  AddressInUse,     // 10048: the local side ran out of ports; wait longer
  Refused,          // 302 or 403: the service refuses this client; the worker stops
  NetworkDown,      // any other socket error: the worker stops
  NotFound,         // 404 or 400: the tile does not exist; no failed-list entry
  Other,            // any other error with a message text
  Untexted,         // a failure that carries no message text
};

// What the worker does about one kind of failure.
struct TileFailureRule {
  int GiveUpAt;             // the value of the tile's attempt counter at which it gives up
  Milliseconds Wait;        // the pause before the next request, below that value
  bool LineOnEveryFailure;  // "T<n> <msg>-><url>" after every failed request, not just the last
  bool StopsWorker;         // giving up ends the worker instead of writing the substitute
};

// The row of the worker's table for a kind of failed request.
TileFailureKind ClassifyTileFailure(FailureKind kind);

const TileFailureRule& RuleFor(TileFailureKind kind);

}  // namespace korvane
