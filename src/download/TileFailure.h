#pragma once

#include "net/FailureKind.h"
#include "net/RepeatPolicy.h"

namespace korvane {

// The kinds of failed tile request, one per row of the worker's repeat table; each names how
// the worker gives up on the tile.
enum class TileFailureKind {
  ConnectionReset,  // reset (10054) or closed before the reply ended: a passing failure
  AddressInUse,     // 10048: the local side ran out of ports; wait longer
  Refused,          // 302 or 403: the service refuses this client; the worker stops
  NetworkDown,      // any other socket error: the worker stops
  NotFound,         // 404 or 400: the tile does not exist; no failed-list entry
  Other,            // any other error with a message text
  Untexted,         // a failure that carries no message text
};

// The worker's repeat table: tries, pauses and the "T<n> <msg>-><url>" line per kind.
const RepeatPolicy<TileFailureKind>& TileRepeats();

// The row of the worker's table for a kind of failed request.
TileFailureKind ClassifyTileFailure(FailureKind kind);

}  // namespace korvane
