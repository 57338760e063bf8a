#include "net/HttpErrors.h"

#include "net/SocketErrors.h"

namespace korvane {

HttpStatusError::HttpStatusError(int replyErrorCode, const std::string& replyText,
                                 const std::string& location, const std::string& retryAfter)
    : Exception(replyText),
      replyErrorCode_(replyErrorCode),
      location_(location),
      retryAfter_(retryAfter) {}

HtmlPageError::HtmlPageError(const std::string& replyText, const std::string& contentType)
    : Exception(replyText + " (" + contentType + ")") {}

SocketError::SocketError(int lastError) : SocketError(lastError, WinSockErrorText(lastError)) {}

SocketError::SocketError(int lastError, const std::string& text)
    : Exception("Socket Error # " + std::to_string(lastError) + "\r\n" + text),
      lastError_(lastError) {}

ConnectionClosedError::ConnectionClosedError() : Exception("Connection Closed Gracefully.") {}

TlsError::TlsError(const std::string& text) : Exception(text) {}

RequestAbortedError::RequestAbortedError() : Exception("The request was aborted.") {}

}  // namespace korvane
