#include "net/SocketLayer.h"

#include <sys/socket.h>

namespace korvane {
namespace {

// Choosing MSG_NOSIGNAL per send, rather than ignoring SIGPIPE for the whole process, leaves
// the signal alone for every other part of the program. It is a constant, not something a
// start of the layer sets, so no send can go out without it.
constexpr int SendFlags = MSG_NOSIGNAL;

}  // namespace

int SocketSendFlags() {
  return SendFlags;
}

}  // namespace korvane
