#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::test {

// How reading a reply ended.
enum class ReplyEnd {
  Complete,            // status line, headers and the whole body
  Reset,               // the connection was reset
  ClosedBeforeStatus,  // closed before any reply byte came
  ClosedInHead,        // closed within the status line or headers
  ClosedInBody,        // closed before the announced body was complete
  TimedOut,            // nothing more came for RawConnection::ReadTimeout
};

struct RawReply {
  ReplyEnd End = ReplyEnd::TimedOut;
  std::string StatusLine;  // without the line end
  int Status = 0;
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;  // as received (chunks already joined)

  std::optional<std::string> Header(std::string_view name) const;
};

// A plain TCP client for the stand-in's own tests: sends exactly the bytes it is given and
// reads replies with a small HTTP/1.1 reader of its own, so the service is checked without the
// program's client.
class RawConnection {
 public:
  static constexpr std::chrono::milliseconds ReadTimeout{20'000};

  // Connects to 127.0.0.1:port; raises std::runtime_error when it cannot.
  explicit RawConnection(int port);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // False when the bytes could not all be sent.
  bool Send(std::string_view bytes);

  // Reads one reply (its body by Content-Length, by chunks, or up to the close).
  RawReply ReadReply();

  // True when the server ends the connection (close or reset) with no more bytes.
  bool ServerCloses();

 private:
  // Appends what arrives to buffered_; 1 data, 0 closed, -1 reset or error, -2 timed out.
  int Fill();

  int fd_ = -1;
  std::string buffered_;
};

// "GET target HTTP/1.1", a Host line, the extra header lines (each ending in CR LF), the blank
// line.
std::string GetRequest(const std::string& target, const std::string& extraHeaders = "");

}  // namespace korvane::test
