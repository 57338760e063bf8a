#include "net/HttpErrors.h"

#include "net/SocketErrors.h"

namespace korvane {

HttpStatusError::HttpStatusError(int replyErrorCode, const std::string& replyText)
    : Exception(replyText), replyErrorCode_(replyErrorCode) {}

SocketError::SocketError(int lastError) : SocketError(lastError, WinSockErrorText(lastError)) {}

SocketError::SocketError(int lastError, const std::string& text)
    : Exception("Socket Error # " + std::to_string(lastError) + "\r\n" + text),
      lastError_(lastError) {}

ConnectionClosedError::ConnectionClosedError() : Exception("Connection Closed Gracefully.") {}

TlsError::TlsError(const std::string& text) : Exception(text) {}

RequestAbortedError::RequestAbortedError() : Exception("The request was aborted.") {}

}  // namespace korvane
