#include "net/SocketLayer.h"

#include <sys/socket.h>

#include <atomic>
#include <mutex>

namespace korvane {
namespace {

std::mutex layerMutex;
int liveClients = 0;  // guarded by layerMutex
int startCount = 0;   // guarded by layerMutex
std::atomic<int> sendFlags{0};

// Runs once, under layerMutex. Choosing MSG_NOSIGNAL per send, rather than ignoring SIGPIPE
// for the whole process, leaves the signal alone for every other part of the program.
void StartLayer() {
  sendFlags.store(MSG_NOSIGNAL, std::memory_order_release);
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
  return sendFlags.load(std::memory_order_acquire);
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
