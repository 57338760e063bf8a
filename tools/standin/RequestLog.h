#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace korvane::standin {

// One request as the log records it.
struct LogEntry {
  int Listener = 0;    // index of the --listen address the request came in on, from 0
  int Attempt = 0;     // requests for the same method and target so far, this one included; 0 for
                       // a request too malformed to have a target
  std::string Action;  // FaultAction::Describe(), or "bad-request"
  int Status = 0;      // the status sent, 0 when no status line was sent
  std::string Target;  // the request target as sent
  std::string_view Request;  // the exact bytes of the request: head and body
};

// The request log: one JSON object per line,
//   {"listener":0,"attempt":1,"action":"ok","status":200,"target":"/cbk?...","request":"R0VU..."}
// written and flushed before the reply goes out, so a client that has its reply finds the line
// in the file. Thread-safe.
class RequestLog {
 public:
  // A log that records nothing.
  RequestLog() = default;
  // Creates or empties the file; raises FileCreateError when it cannot.
  explicit RequestLog(const std::string& path);
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // A failure to write is reported once on stderr; serving goes on.
  void Write(const LogEntry& entry);

 private:
  std::mutex mutex_;
  int fd_ = -1;
  bool failed_ = false;
};

std::string Base64Encode(std::string_view bytes);

// The text as a JSON string literal, quotes included. Bytes outside printable ASCII are
// written as \u00XX.
std::string JsonString(std::string_view text);

}  // namespace korvane::standin
