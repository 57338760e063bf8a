#pragma once

#include <string>

#include "platform/Exception.h"

namespace korvane {

// The failures of HttpClient::Get. Callers classify them by the values they carry (the type,
// the HTTP status, the socket error number) through ClassifyFailure (FailureKind.h); the texts
// are what users see in the log and the failed lines, so they are part of the interface too.

// A complete reply arrived that is not a success (any status outside 200..299, or a 2xx reply
// carrying a Location). The message is the reply text: the status line without its first word
// and the blank after it, e.g. "404 Not Found", or just "302" when the server gave no reason;
// any control character in it is replaced (PrintableText). The reply's Location and
// Retry-After values come along (empty when it had none): today's service says with them that
// it wants fewer requests (FailureKind.h reads them).
class HttpStatusError : public Exception {
 public:
  HttpStatusError(int replyErrorCode, const std::string& replyText,
                  const std::string& location = "", const std::string& retryAfter = "");
  int ReplyErrorCode() const { return replyErrorCode_; }
  const std::string& Location() const { return location_; }
  const std::string& RetryAfter() const { return retryAfter_; }

 private:
  int replyErrorCode_;
  std::string location_;
  std::string retryAfter_;
};

// A 2xx reply of the kind a person reads (an HTML page: a consent or "unusual traffic" page)
// where the caller asked for data it can use. Raised by callers that know what they asked for
// (RefuseHtmlPages), never by the client itself. The message is the reply text followed by the
// content type, e.g. "200 OK (text/html; charset=UTF-8)".
class HtmlPageError : public Exception {
 public:
  HtmlPageError(const std::string& replyText, const std::string& contentType);
};

// A service that refuses the caller's credentials (a key that is not valid or not allowed, an
// API not enabled, billing off): no repeat of the request can succeed, so every caller gives up
// at once and its run ends. The message is the one line users see, naming the service and what
// it said, e.g. "Map Tiles API: API key not valid. Please pass a valid API key."; empty for the
// requests refused after that line went out once.
class AccessRefusedError : public Exception {
 public:
  AccessRefusedError(int replyErrorCode, const std::string& text);
  int ReplyErrorCode() const { return replyErrorCode_; }

 private:
  int replyErrorCode_;
};

// A socket-level failure (name resolution, connect, send, receive, or a time-out of one of
// them). The number is a WinSock error number; the message is "Socket Error # " + number +
// CR LF + the number's text (see SocketErrors.h), e.g. "Socket Error # 10054\r\nConnection reset
// by peer." and, for a name that cannot be resolved, "Socket Error # 11001\r\n".
class SocketError : public Exception {
 public:
  // The message uses the standard text of the number (empty for numbers without one).
  explicit SocketError(int lastError);
  // For a system error without a WinSock number: the number and the system's own text.
  SocketError(int lastError, const std::string& text);
  int LastError() const { return lastError_; }

 private:
  int lastError_;
};

// The server closed the connection before the status line, the headers or a body of known
// length were complete: "Connection Closed Gracefully.".
class ConnectionClosedError : public Exception {
 public:
  ConnectionClosedError();
};

// A fault the client refuses on its own account: a URL it will not send, a header value that
// would split the request, or a reply beyond the client's limits or with a malformed framing.
// Callers treat these as "any other error", whatever the text says (the callers classify
// failures by type, status and error number, never by text).
class HttpClientError : public Exception {
 public:
  using Exception::Exception;
};

// A TLS failure: the handshake (certificate verification, protocol), the CA file, or a broken
// TLS record. One line naming the cause, e.g. "SSL negotiation failed: certificate verify
// failed (self-signed certificate)". Callers treat these as "any other error" by their type,
// whatever OpenSSL's text says.
class TlsError : public Exception {
 public:
  explicit TlsError(const std::string& text);
};

// HttpClient::Abort was called (from another thread): the request in flight, and every later
// one until ClearAbort, ends at once with "The request was aborted.".
class RequestAbortedError : public Exception {
 public:
  RequestAbortedError();
};

}  // namespace korvane
