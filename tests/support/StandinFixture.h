#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace korvane::test {

// One request as the stand-in service logged it.
struct StandinRequest {
  int Listener = 0;    // which listener (0 .. ListenerCount() - 1) received it
  int Attempt = 0;     // how many requests for the same target came so far, this one included
  std::string Action;  // what the fault plan made of it: "ok", "reset", "status 404", ...
  int Status = 0;      // the status sent; 0 when no status line was sent (reset, close, stall)
  std::string Target;  // the request target as sent, e.g. "/cbk?output=tile&panoid=..."
  std::string Bytes;   // the exact bytes of the request
};

// Runs the stand-in Street View service (bin/korvane-standin of the program folder) for one
// test: on 127.0.0.1 with ports the system picks, with a fault plan (README.md of
// tools/standin gives the format; empty = a healthy service) and a request log, both in a
// temporary folder. The service stops when the fixture goes.
//
// A test executable that uses the fixture must be built after the service. In its
// CMakeLists.txt:
//   korvane_add_test(download_tests SOURCES ... DEPS ...)
//   add_dependencies(download_tests korvane-standin)
//
// Construction fails with std::runtime_error when the service does not start (for example a
// plan that does not parse: the service's reason is on stderr).
class StandinFixture {
 public:
  // listenerCount 1: the four Street View servers are all the one listener; 4: server N is
  // listener N. extraArgs go to the service's command line as they are (e.g. "--tls", CERT,
  // KEY).
  explicit StandinFixture(const std::string& plan = "", int listenerCount = 1,
                          const std::vector<std::string>& extraArgs = {});
  ~StandinFixture();
  StandinFixture(const StandinFixture&) = delete;
  StandinFixture& operator=(const StandinFixture&) = delete;

  int ListenerCount() const { return static_cast<int>(ports_.size()); }
  int Port(int listener = 0) const;
  // "127.0.0.1:PORT" of the listener.
  std::string Host(int listener = 0) const;

  // A config.ini "[Service]" section (CR LF lines) that sends the program to this service with
  // the classic protocol: Server0..Server3, HomePage and Protocol=classic. For
  // TempProgramFolder::WriteConfig, alone or after other sections.
  std::string ServiceConfig() const;

  // The same for the current protocol: Protocol=current, LookupBase (listener 0), TileBase
  // (listener 1 when there are several, else 0) and HomePage, over plain HTTP.
  std::string CurrentServiceConfig() const;

  // Every request logged so far, in the order served.
  std::vector<StandinRequest> Requests() const;

  // How many requests for the target were logged. Takes a target ("/cbk?...") or a whole
  // address ("http://127.0.0.1:PORT/cbk?..."), whose scheme and host are then ignored.
  int CountRequests(const std::string& targetOrUrl) const;

  // Waits until at least count requests are logged (for requests made on another thread);
  // false when the timeout passes first.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

  // Stops the service (SIGTERM; SIGKILL when it has not ended after StopTimeout) and returns
  // its exit status: 0 for a clean end, 128 + signal number when it died by a signal. The
  // destructor calls it when a test did not.
  int Stop();

  const std::string& LogPath() const { return logPath_; }

  static constexpr std::chrono::milliseconds StartTimeout{30'000};
  static constexpr std::chrono::milliseconds StopTimeout{10'000};

 private:
  TempFolder folder_;
  std::string logPath_;
  pid_t pid_ = -1;
  int stdout_ = -1;
  int exitStatus_ = -1;
  std::vector<int> ports_;
};

}  // namespace korvane::test
