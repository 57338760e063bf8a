#include "net/HttpErrors.h"

#include "net/FailureTexts.h"
#include "net/SocketErrors.h"

namespace korvane {

HttpStatusError::HttpStatusError(int replyErrorCode, const std::string& replyText)
    : Exception(replyText), replyErrorCode_(replyErrorCode) {}

SocketError::SocketError(int lastError) : SocketError(lastError, WinSockErrorText(lastError)) {}

SocketError::SocketError(int lastError, const std::string& text)
    : Exception("Socket Error # " + std::to_string(lastError) + "\r\n" + text),
      lastError_(lastError) {}

ConnectionClosedError::ConnectionClosedError() : Exception("Connection Closed Gracefully.") {}

namespace {

// Breaks every classified substring by a blank after its first character, so a text from the
// TLS library can never be taken for a socket error or a reply status.
std::string WithoutClassifiedParts(std::string text) {
  using namespace FailureText;
  for (std::string_view part : {ConnectionReset, AddressInUse, ClosedGracefully, SocketFailure,
                                Redirect, Forbidden, NotFound, BadRequest}) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
      text.insert(at + 1, " ");
    }
  }
  return text;
}

}  // namespace

TlsError::TlsError(const std::string& text) : Exception(WithoutClassifiedParts(text)) {}

RequestAbortedError::RequestAbortedError() : Exception("The request was aborted.") {}

}  // namespace korvane
