#pragma once

#include <string>

namespace korvane {

// WinSock error numbers the callers rely on, and the ones the client raises itself.
inline constexpr int WsaConnectionReset = 10054;
inline constexpr int WsaAddressInUse = 10048;
inline constexpr int WsaAddressNotAvailable = 10049;
inline constexpr int WsaTimedOut = 10060;
inline constexpr int WsaConnectionRefused = 10061;
inline constexpr int WsaHostNotFound = 11001;

// The standard text of a WinSock error number ("Connection reset by peer." for 10054); the
// empty text for numbers without one (11001 among them).
std::string WinSockErrorText(int number);

// Which operation failed: the same POSIX error means different things for a connect.
enum class SocketOperation { Connect, Send, Receive, Other };

// The WinSock number of a POSIX errno value, or 0 when none matches. Connection reset, and a
// broken pipe on send, are 10054; on a connect, EADDRNOTAVAIL (no free local port) is 10048,
// the number a WinSock connect gives when it runs out of local ports.
int WinSockErrorFromErrno(int errnoValue, SocketOperation operation);

}  // namespace korvane
