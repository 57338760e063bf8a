#include "net/IdErrors.h"

#include "net/SocketErrors.h"

namespace korvane {

EIdProtocolReplyError::EIdProtocolReplyError(int replyErrorCode, const std::string& replyText)
    : Exception(replyText), replyErrorCode_(replyErrorCode) {}

EIdSocketError::EIdSocketError(int lastError)
    : EIdSocketError(lastError, WinSockErrorText(lastError)) {}

EIdSocketError::EIdSocketError(int lastError, const std::string& text)
    : Exception("Socket Error # " + std::to_string(lastError) + "\r\n" + text),
      lastError_(lastError) {}

EIdConnClosedGracefully::EIdConnClosedGracefully() : Exception("Connection Closed Gracefully.") {}

}  // namespace korvane
