#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::standin {

// One HTTP/1.x request head as the client sent it.
struct HttpRequest {
  std::string Method;
  std::string Target;    // as sent: origin form "/cbk?..." or absolute form "http://host/cbk?..."
  int VersionMinor = 1;  // HTTP/1.0 or HTTP/1.1
  std::vector<std::pair<std::string, std::string>> Headers;  // values without surrounding blanks
  std::size_t ContentLength = 0;                             // body bytes that follow the head
  bool KeepAlive = true;  // the client leaves the connection open after the reply

  // The value of the first header of that name (any letter case).
  std::optional<std::string> Header(std::string_view name) const;
};

// The outcome of reading a request head from the front of a receive buffer.
struct HeadParse {
  enum class Result { NeedMore, Complete, Bad };
  Result State = Result::NeedMore;
  HttpRequest Request;        // when Complete
  std::size_t HeadBytes = 0;  // when Complete: bytes up to and including the empty line
  std::string Problem;        // when Bad: what is wrong, for the request log
};

// Reads the request head at the front of the buffer. Lines end in LF with an optional CR before
// it; empty lines before the request line are skipped (their bytes count into HeadBytes). A head
// that breaks a limit of StandinLimits.h, or is not a well-formed HTTP/1.0 or HTTP/1.1 GET-style
// request head, is Bad; the caller answers 400 and closes the connection. Works on any prefix
// of the bytes, so it can be fed one byte at a time.
HeadParse ParseRequestHead(std::string_view buffer);

}  // namespace korvane::standin
