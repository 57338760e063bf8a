#include "net/SocketErrors.h"

#include <cerrno>

namespace korvane {
namespace {

// One row per WinSock error number the client can raise: its standard text, and the POSIX
// errno values (0: none) that stand for it.
struct WinSockCode {
  int Number;
  const char* Text;
  int Errno;
  int OtherErrno;
};

constexpr WinSockCode WinSockCodes[] = {
    {10004, "Interrupted system call.", EINTR, 0},
    {10009, "Bad file number.", EBADF, 0},
    {10013, "Access denied.", EACCES, EPERM},
    {10014, "Bad address.", EFAULT, 0},
    {10022, "Invalid argument.", EINVAL, 0},
    {10024, "Too many open files.", EMFILE, ENFILE},
    {10035, "Operation would block. ", EAGAIN, 0},
    {10036, "Operation now in progress.", EINPROGRESS, 0},
    {10037, "Operation already in progress.", EALREADY, 0},
    {10038, "Socket operation on non-socket.", ENOTSOCK, 0},
    {10039, "Destination address required.", EDESTADDRREQ, 0},
    {10040, "Message too long.", EMSGSIZE, 0},
    {10041, "Protocol wrong type for socket.", EPROTOTYPE, 0},
    {10042, "Bad protocol option.", ENOPROTOOPT, 0},
    {10043, "Protocol not supported.", EPROTONOSUPPORT, 0},
    {10044, "Socket type not supported.", ESOCKTNOSUPPORT, 0},
    {10045, "Operation not supported on socket.", EOPNOTSUPP, 0},
    {10046, "Protocol family not supported.", EPFNOSUPPORT, 0},
    {10047, "Address family not supported by protocol family.", EAFNOSUPPORT, 0},
    {WsaAddressInUse, "Address already in use.", EADDRINUSE, 0},
    {WsaAddressNotAvailable, "Cannot assign requested address.", EADDRNOTAVAIL, 0},
    {10050, "Network is down.", ENETDOWN, 0},
    {10051, "Network is unreachable.", ENETUNREACH, 0},
    {10052, "Net dropped connection or reset.", ENETRESET, 0},
    {10053, "Software caused connection abort.", ECONNABORTED, 0},
    {WsaConnectionReset, "Connection reset by peer.", ECONNRESET, EPIPE},
    {10055, "No buffer space available.", ENOBUFS, 0},
    {10056, "Socket is already connected.", EISCONN, 0},
    {10057, "Socket is not connected.", ENOTCONN, 0},
    {10058, "Cannot send or receive after socket is closed.", ESHUTDOWN, 0},
    {10059, "Too many references, cannot splice.", ETOOMANYREFS, 0},
    {WsaTimedOut, "Connection timed out.", ETIMEDOUT, 0},
    {WsaConnectionRefused, "Connection refused.", ECONNREFUSED, 0},
    {10062, "Too many levels of symbolic links.", ELOOP, 0},
    {10063, "File name too long.", ENAMETOOLONG, 0},
    {10064, "Host is down.", EHOSTDOWN, 0},
    {10065, "No route to host.", EHOSTUNREACH, 0},
    {10066, "Directory not empty", ENOTEMPTY, 0},
};

}  // namespace

std::string WinSockErrorText(int number) {
  for (const WinSockCode& code : WinSockCodes) {
    if (code.Number == number) return code.Text;
  }
  return "";
}

int WinSockErrorFromErrno(int errnoValue, SocketOperation operation) {
  if (errnoValue == 0) return 0;
  if (errnoValue == EADDRNOTAVAIL && operation == SocketOperation::Connect) return WsaAddressInUse;
  for (const WinSockCode& code : WinSockCodes) {
    if (code.Errno == errnoValue || code.OtherErrno == errnoValue) return code.Number;
  }
  return 0;
}

}  // namespace korvane
