#pragma once

#include <functional>
#include <string>

#include "net/FailureKind.h"
#include "platform/Clock.h"
#include "platform/StopSignal.h"
#include "task/DownloadTask.h"

namespace korvane {

// How one tile ended.
enum class TileOutcome {
  Saved,        // stored as downloaded
  Substituted,  // given up on; the substitute image stands in the tile's place
  StopWorker,   // the service refuses this client, keeps pushing back, or the network is down:
                // the worker must end
  Interrupted,  // the worker was asked to stop mid-tile: neither finished nor given up, so a
                // later run fetches it again
  Placeholder,  // given up: the service sent its blank placeholder (Placeholder.h); listed as
                // failed, no file kept
  HandedBack,   // the service pushed back on it: not fetched, to go out again when the shared
                // pace lets it (no line, no file)
};

// What FetchTile borrows from its worker. The line handlers hand one line to the main window
// and return when it has been added there.
struct TileFetchWorker {
  HttpGetFunction Get;
  const DownloadTask& Task;
  int Number = 1;              // the worker's Index + 1: lines read "T" + Number
  std::string BlankImagePath;  // the substitute image
  std::function<void(const std::string&)> AddLogLine;
  std::function<void(const std::string&)> AddFailedLine;
  // Raised when the worker is asked to stop: pauses end at once and a tile whose request
  // failed meanwhile is left for a later run (Interrupted) instead of being given up. Null: a
  // worker that is never stopped.
  const StopSignal* Stop = nullptr;
  // Today's protocols: the service pushed back on the request in hand (it asked for less, with
  // retryAfter the wait it named, 0 when none), so the task's pace slows down for every worker
  // and the tile is HandedBack: the pace alone decides when it goes out again, so a refusal
  // costs one back-off, not one of the pace and one of the tile. True when the service has
  // refused for so long that the task stops: the tile then ends as StopWorker with the refusing
  // line. Null: a worker whose pace does not adapt backs off by its repeat table.
  std::function<bool(Milliseconds retryAfter)> PushedBack = nullptr;

  bool Stopped() const { return Stop != nullptr && Stop->Raised(); }
  // A pause of the tile procedure, cut short by a stop.
  void Pause(Milliseconds nominal) const;
};

// Fetches tile (x, y), sequence number k: requests it until it is judged (one attempt counter
// shared by every kind of failure), stores the answer or, on giving up, the substitute, and
// hands over the tile's lines. Does not touch the worker's resume point: the worker sets it on
// Saved and Substituted.
//
// Every file goes in under its final name only when complete (temporary name, then rename).
// Raises FileCreateError ("Cannot create file " + path) when a tile file cannot be written (the
// tile folder vanished, the disk is full): the tile is then neither finished nor given up, and
// has its failed-list line (one only, also when its give-up had handed one over already).
// Runs on the worker's thread; waits go through TheClock().
TileOutcome FetchTile(TileFetchWorker& worker, int x, int y, int k);

}  // namespace korvane
