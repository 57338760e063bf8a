#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace korvane {

// What a failed request was, read from the values the client's errors carry (the HTTP status,
// the socket error number, the error's type), never from their message texts. Each caller
// (the tile fetch, the lookup, the re-download) decides what to do per kind.
enum class FailureKind {
  ConnectionReset,  // socket error 10054
  ClosedEarly,      // the server closed before the reply was complete
  AddressInUse,     // socket error 10048: the local side ran out of ports
  SocketFailure,    // any other socket error (name, connect, send, receive, time-out)
  Redirect,         // HTTP 302
  Forbidden,        // HTTP 403
  NotFound,         // HTTP 404
  BadRequest,       // HTTP 400
  OtherStatus,      // any other status the client does not accept
  AccessRefused,    // the service refuses the caller's credentials (AccessRefusedError): final
  Other,            // any other error with a message (the client's own refusals among them)
  Untexted,         // a failure that carries no message at all
};

// One failed request: its kind, and the message users see (nothing for an untexted failure).
struct RequestFailure {
  FailureKind Kind = FailureKind::Untexted;
  std::optional<std::string> Message;
  int Status = 0;  // the reply's status when the service answered with one
  // The service wants fewer requests (PushBack.h says how it says so); Kind stays what the
  // reply was, so a table without a push-back rule treats it as before.
  bool PushBack = false;
  std::optional<Milliseconds> RetryAfter{};  // the wait the reply asked for, if any
};

// The kind and message of a failure raised by a request. error must not be null.
RequestFailure ClassifyFailure(const std::exception_ptr& error);

// One GET over some transport: fills body with the answer or raises. Workers and lookups pass
// their own client's Get; tests pass failures no network produces.
using HttpGetFunction = std::function<void(const std::string& url, std::string& body)>;

// One GET of url into body (emptied first): nothing when it succeeded, else its failure.
std::optional<RequestFailure> TryGet(const HttpGetFunction& get, const std::string& url,
                                     std::string& body);

}  // namespace korvane
