#pragma once

#include "net/FailureKind.h"
#include "net/RepeatPolicy.h"
#include "task/PanoramaProtocol.h"

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
  PushBack,         // today's service wants fewer requests: back off; when it persists the
                    // worker stops, listing nothing
  AccessRefused,    // the Map Tiles API refuses the key, the API or billing: the worker stops
                    // at once with the service's line, listing nothing
};

// The worker's repeat table for a protocol: tries, pauses and the "T<n> <msg>-><url>" line per
// kind. The classic table has no push-back rule (a 302 is a ban there, whatever its Location);
// the current one backs off on push-back (DownloadLimits.h).
const RepeatPolicy<TileFailureKind>& TileRepeats(PanoramaProtocol protocol);

// The row of the worker's table for a kind of failed request.
TileFailureKind ClassifyTileFailure(FailureKind kind);

}  // namespace korvane
