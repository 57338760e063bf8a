#include "HttpRequest.h"

#include <algorithm>
#include <cctype>

#include "StandinLimits.h"
#include "platform/TextTrim.h"

namespace korvane::standin {

namespace {

bool IsTokenChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (std::isalnum(u)) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// Control characters other than the tab never stand in a header value or a target.
bool HasControl(std::string_view text, bool tabAllowed) {
  return std::any_of(text.begin(), text.end(), [tabAllowed](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && !(tabAllowed && c == '\t')) || u == 0x7f;
  });
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

HeadParse Bad(std::string problem) {
  HeadParse result;
  result.State = HeadParse::Result::Bad;
  result.Problem = std::move(problem);
  return result;
}

// "GET /path HTTP/1.1"; false with the problem set when it is not one.
bool ParseRequestLine(std::string_view line, HttpRequest& request, std::string& problem) {
  const std::size_t first = line.find(' ');
  const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) {
    problem = "malformed request line";
    return false;
  }
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (!IsToken(method)) {
    problem = "malformed method";
    return false;
  }
  const bool absolute = target.size() > 7 && EqualNoCase(target.substr(0, 7), "http://");
  if (target.empty() || (target.front() != '/' && !absolute) || HasControl(target, false)) {
    problem = "malformed request target";
    return false;
  }
  if (version != "HTTP/1.1" && version != "HTTP/1.0") {
    problem = "unsupported HTTP version";
    return false;
  }
  request.Method = method;
  request.Target = target;
  request.VersionMinor = version.back() - '0';
  return true;
}

bool ParseHeaderLine(std::string_view line, HttpRequest& request, std::string& problem) {
  const std::size_t colon = line.find(':');
  if (line.front() == ' ' || line.front() == '\t') {
    problem = "folded header line";
    return false;
  }
  if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) {
    problem = "malformed header line";
    return false;
  }
  const std::string_view value = TrimBlanks(line.substr(colon + 1));
  if (HasControl(value, true)) {
    problem = "control character in a header";
    return false;
  }
  request.Headers.emplace_back(line.substr(0, colon), value);
  return true;
}

// The headers the server acts on: body length, connection persistence, Host.
bool CheckHeaders(HttpRequest& request, std::string& problem) {
  std::optional<std::string> length;
  int hosts = 0;
  bool close = false;
  bool keepAlive = false;
  for (const auto& [name, value] : request.Headers) {
    if (EqualNoCase(name, "Content-Length")) {
      if (value.empty() || !std::all_of(value.begin(), value.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
          })) {
        problem = "malformed Content-Length";
        return false;
      }
      if (length && *length != value) {
        problem = "conflicting Content-Length";
        return false;
      }
      length = value;
    } else if (EqualNoCase(name, "Transfer-Encoding")) {
      problem = "request body with a transfer coding";
      return false;
    } else if (EqualNoCase(name, "Host")) {
      ++hosts;
    } else if (EqualNoCase(name, "Connection")) {
      std::string_view rest = value;
      while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view option = TrimBlanks(rest.substr(0, comma));
        close = close || EqualNoCase(option, "close");
        keepAlive = keepAlive || EqualNoCase(option, "keep-alive");
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
    }
  }
  if (length) {
    const std::string digits =
        length->substr(std::min(length->find_first_not_of('0'), length->size()));
    if (digits.size() > 9 || (!digits.empty() && std::stoul(digits) > MaxRequestBodyBytes)) {
      problem = "request body too large";
      return false;
    }
    request.ContentLength = digits.empty() ? 0 : std::stoul(digits);
  }
  if (hosts > 1 || (hosts == 0 && request.VersionMinor == 1)) {
    problem = hosts > 1 ? "more than one Host header" : "missing Host header";
    return false;
  }
  request.KeepAlive = request.VersionMinor == 1 ? !close : keepAlive && !close;
  return true;
}

}  // namespace

std::optional<std::string> HttpRequest::Header(std::string_view name) const {
  for (const auto& [headerName, value] : Headers) {
    if (EqualNoCase(headerName, name)) return value;
  }
  return std::nullopt;
}

HeadParse ParseRequestHead(std::string_view buffer) {
  std::size_t start = 0;
  while (true) {  // empty lines before the request line
    if (buffer.substr(start, 1) == "\n") {
      start += 1;
    } else if (buffer.substr(start, 2) == "\r\n") {
      start += 2;
    } else {
      break;
    }
    if (start > MaxRequestHeadBytes) return Bad("request head too large");
  }
  HeadParse result;
  HttpRequest& request = result.Request;
  bool requestLine = true;
  std::size_t lineStart = start;
  while (true) {
    const std::size_t end = buffer.find('\n', lineStart);
    const std::size_t limit = requestLine ? MaxRequestLineBytes : MaxHeaderLineBytes;
    if (end == std::string_view::npos) {
      if (buffer.size() - lineStart > limit + 1) {
        return Bad(requestLine ? "request line too long" : "header line too long");
      }
      if (buffer.size() > MaxRequestHeadBytes) return Bad("request head too large");
      return result;  // NeedMore
    }
    if (end + 1 > MaxRequestHeadBytes) return Bad("request head too large");
    std::string_view line = buffer.substr(lineStart, end - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > limit) {
      return Bad(requestLine ? "request line too long" : "header line too long");
    }
    if (line.find('\r') != std::string_view::npos) return Bad("stray carriage return");
    lineStart = end + 1;
    std::string problem;
    if (requestLine) {
      if (!ParseRequestLine(line, request, problem)) return Bad(problem);
      requestLine = false;
    } else if (line.empty()) {
      if (!CheckHeaders(request, problem)) return Bad(problem);
      result.State = HeadParse::Result::Complete;
      result.HeadBytes = lineStart;
      return result;
    } else {
      if (static_cast<int>(request.Headers.size()) >= MaxHeaderCount) {
        return Bad("too many header lines");
      }
      if (!ParseHeaderLine(line, request, problem)) return Bad(problem);
    }
  }
}

}  // namespace korvane::standin
