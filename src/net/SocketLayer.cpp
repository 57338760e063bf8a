#include "net/SocketLayer.h"

#include <sys/socket.h>

#include <mutex>

namespace korvane {
namespace {

std::mutex layerMutex;
int liveClients = 0;  // guarded by layerMutex
int startCount = 0;   // guarded by layerMutex
// Choosing MSG_NOSIGNAL per send, rather than ignoring SIGPIPE for the whole process, leaves
// the signal alone for every other part of the program. It is a constant, not something the
// layer's start sets, so no send can go out without it.
constexpr int SendFlags = MSG_NOSIGNAL;

// Runs once, under layerMutex.
void StartLayer() {
  ++startCount;
}

}  // namespace

SocketLayerUse::SocketLayerUse() {
  std::lock_guard<std::mutex> lock(layerMutex);
  if (startCount == 0) StartLayer();
  ++liveClients;
}

SocketLayerUse::~SocketLayerUse() {
  std::lock_guard<std::mutex> lock(layerMutex);
  --liveClients;
}

int SocketSendFlags() {
  return SendFlags;
}

int SocketLayerLiveClients() {
  std::lock_guard<std::mutex> lock(layerMutex);
  return liveClients;
}

int SocketLayerStartCount() {
  std::lock_guard<std::mutex> lock(layerMutex);
  return startCount;
}

}  // namespace korvane
