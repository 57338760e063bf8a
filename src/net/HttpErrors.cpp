#include "net/HttpErrors.h"

#include "net/SocketErrors.h"
#include "platform/PrintableText.h"

namespace korvane {

// The reason is the server's own text: it reaches the log and the terminal printable only.
HttpStatusError::HttpStatusError(int replyErrorCode, const std::string& replyText,
                                 const std::string& location, const std::string& retryAfter)
    : Exception(PrintableText(replyText)),
      replyErrorCode_(replyErrorCode),
      location_(location),
      retryAfter_(retryAfter) {}

HtmlPageError::HtmlPageError(const std::string& replyText, const std::string& contentType)
    : Exception(PrintableText(replyText + " (" + contentType + ")")) {}

AccessRefusedError::AccessRefusedError(int replyErrorCode, const std::string& text)
    : Exception(PrintableText(text)), replyErrorCode_(replyErrorCode) {}

SocketError::SocketError(int lastError) : SocketError(lastError, WinSockErrorText(lastError)) {}

SocketError::SocketError(int lastError, const std::string& text)
    : Exception("Socket Error # " + std::to_string(lastError) + "\r\n" + text),
      lastError_(lastError) {}

ConnectionClosedError::ConnectionClosedError() : Exception("Connection Closed Gracefully.") {}

// OpenSSL's texts may quote what the peer sent (a certificate's names).
TlsError::TlsError(const std::string& text) : Exception(PrintableText(text)) {}

RequestAbortedError::RequestAbortedError() : Exception("The request was aborted.") {}

}  // namespace korvane
