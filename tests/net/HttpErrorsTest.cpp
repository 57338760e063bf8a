#include <gtest/gtest.h>

#include <cerrno>

#include "net/FailureKind.h"
#include "net/HttpErrors.h"
#include "net/SocketErrors.h"

namespace korvane {
namespace {

TEST(HttpErrors, MessageTexts) {
  EXPECT_EQ(SocketError(10054).Message(), "Socket Error # 10054\r\nConnection reset by peer.");
  EXPECT_EQ(SocketError(10054).LastError(), 10054);
  EXPECT_EQ(SocketError(11001).Message(), "Socket Error # 11001\r\n");
  EXPECT_EQ(SocketError(10035).Message(), "Socket Error # 10035\r\nOperation would block. ");
  EXPECT_EQ(SocketError(10066).Message(), "Socket Error # 10066\r\nDirectory not empty");
  EXPECT_EQ(ConnectionClosedError().Message(), "Connection Closed Gracefully.");
  HttpStatusError reply(404, "404 Not Found");
  EXPECT_EQ(reply.Message(), "404 Not Found");
  EXPECT_EQ(reply.ReplyErrorCode(), 404);
}

// A server's reason and a TLS library's text reach the log and the terminal: no control
// character of theirs gets there.
TEST(HttpErrors, OutsideTextsArePrintable) {
  const std::string reason = std::string("503 \x1b]0;owned\x07") + "Busy\rOK";
  EXPECT_EQ(HttpStatusError(503, reason).Message(), "503 ?]0;owned?Busy?OK");
  EXPECT_EQ(TlsError("SSL negotiation failed: \x1b[31mname").Message(),
            "SSL negotiation failed: ?[31mname");
}

TEST(HttpErrors, TlsTextsNeverPassForAnotherFailure) {
  EXPECT_EQ(TlsError("SSL negotiation failed: wrong version number").Message(),
            "SSL negotiation failed: wrong version number");
  // Failures are classified by type: whatever the TLS library words, callers see "other".
  const TlsError odd("x 302 403 404 400 10054 10048 Socket Error Connection Closed Gracefully");
  EXPECT_EQ(ClassifyFailure(std::make_exception_ptr(odd)).Kind, FailureKind::Other);
  EXPECT_EQ(RequestAbortedError().Message(), "The request was aborted.");
}

TEST(SocketErrors, PosixErrorsMapToWinSockNumbers) {
  EXPECT_EQ(WinSockErrorFromErrno(ECONNRESET, SocketOperation::Receive), 10054);
  EXPECT_EQ(WinSockErrorFromErrno(EPIPE, SocketOperation::Send), 10054);
  EXPECT_EQ(WinSockErrorFromErrno(EADDRINUSE, SocketOperation::Connect), 10048);
  // Out of local ports: Linux says EADDRNOTAVAIL, the callers wait for 10048.
  EXPECT_EQ(WinSockErrorFromErrno(EADDRNOTAVAIL, SocketOperation::Connect), 10048);
  EXPECT_EQ(WinSockErrorFromErrno(EADDRNOTAVAIL, SocketOperation::Other), 10049);
  EXPECT_EQ(WinSockErrorFromErrno(ECONNREFUSED, SocketOperation::Connect), 10061);
  EXPECT_EQ(WinSockErrorFromErrno(ETIMEDOUT, SocketOperation::Connect), 10060);
  EXPECT_EQ(WinSockErrorFromErrno(ENETUNREACH, SocketOperation::Connect), 10051);
  EXPECT_EQ(WinSockErrorFromErrno(EHOSTUNREACH, SocketOperation::Connect), 10065);
  EXPECT_EQ(WinSockErrorFromErrno(ECONNABORTED, SocketOperation::Receive), 10053);
  EXPECT_EQ(WinSockErrorFromErrno(ENOMEM, SocketOperation::Receive), 0);
  // Every mapped number has its text.
  for (int error = 1; error < 134; ++error) {
    int number = WinSockErrorFromErrno(error, SocketOperation::Other);
    if (number != 0) {
      EXPECT_NE(WinSockErrorText(number), "") << error;
    }
  }
}

}  // namespace
}  // namespace korvane
