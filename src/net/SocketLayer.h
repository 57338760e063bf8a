#pragma once

namespace korvane {

// The flags every send() of the process passes: they keep a send on a connection the peer has
// closed from raising SIGPIPE (which would end the program) and make it fail with EPIPE
// instead. The socket layer needs no start on this platform, so the flags are valid at any
// time, also for a socket used before any HTTP client exists.
int SocketSendFlags();

}  // namespace korvane
