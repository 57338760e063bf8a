#pragma once

namespace korvane {

// The process-wide socket layer that every HTTP client shares. It is started once, when the
// first client is created, and a count of live clients is kept under one lock; clients are
// created and destroyed on several threads at once. On this platform there is nothing to
// unload, so the layer stays started once it has been started; what matters is that it is
// started exactly once and before any client sends.
//
// Each client holds one SocketLayerUse for its whole life.
class SocketLayerUse {
 public:
  SocketLayerUse();
  ~SocketLayerUse();
  SocketLayerUse(const SocketLayerUse&) = delete;
  SocketLayerUse& operator=(const SocketLayerUse&) = delete;
};

// The flags every send() of the process passes: they keep a send on a connection the peer has
// closed from raising SIGPIPE (which would end the program) and make it fail with EPIPE
// instead. Valid at any time, also for a socket used before the first client exists.
int SocketSendFlags();

// For tests: clients alive now, and how many times the layer has been started in this process.
int SocketLayerLiveClients();
int SocketLayerStartCount();

}  // namespace korvane
