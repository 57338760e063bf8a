#pragma once

#include <functional>
#include <string>

namespace korvane {

// What a re-download run tells whoever shows it (the re-download window, korvane-cli). Every
// call comes on the main thread. The run never shows anything itself.
class RetryHost {
 public:
  virtual ~RetryHost() = default;

  // One progress line of the run, as it arises.
  virtual void LineAdded(const std::string& line) = 0;

  // The run fetches on a thread of its own while the session serves the host's loop until done
  // is true (the lines and the end of the fetching arrive through the synchronizer), so a stop
  // request can reach it.
  virtual void ServeUntil(const std::function<bool()>& done) = 0;

  // The run began fetching (true) or stopped fetching, however it ended (false): meanwhile Stop
  // stops it (a window turns its button into Stop).
  virtual void FetchingChanged(bool fetching) { (void)fetching; }
};

}  // namespace korvane
