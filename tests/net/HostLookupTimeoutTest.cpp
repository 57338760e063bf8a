// The system resolver is replaced, for this test program only, by one that can be made to
// hang: getaddrinfo below takes precedence over the C library's, and passes every name but the
// hanging one on to it.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "net/HttpClient.h"
#include "support/RecordingClock.h"

namespace {

constexpr const char* HangingName = "hanging-resolver.invalid";

std::mutex resolverMutex;
std::condition_variable resolverReleased;
bool released = false;
int hangingLookups = 0;

void HangResolver() {
  std::lock_guard<std::mutex> lock(resolverMutex);
  released = false;
  hangingLookups = 0;
}

void ReleaseResolver() {
  std::lock_guard<std::mutex> lock(resolverMutex);
  released = true;
  resolverReleased.notify_all();
}

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
  if (node != nullptr && std::strcmp(node, HangingName) == 0) {
    std::unique_lock<std::mutex> lock(resolverMutex);
    ++hangingLookups;
    // Bounded, so a broken test cannot keep the program alive for ever.
    resolverReleased.wait_for(lock, std::chrono::seconds(60), [] { return released; });
    return EAI_AGAIN;
  }
  using Function = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const auto next = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "getaddrinfo"));
  return next(node, service, hints, result);
}

namespace korvane {
namespace {

using SteadyClock = std::chrono::steady_clock;

TEST(HostLookup, UnansweredLookupEndsAfterTheConnectTimeoutAsHostNotFound) {
  HangResolver();
  test::RecordingClock clock;
  clock.ShortenTimeouts(100);  // the 30 s connect time-out lasts 300 ms
  HttpClient client;
  std::string body;
  const auto start = SteadyClock::now();
  try {
    client.Get(std::string("http://") + HangingName + "/cbk", body);
    ADD_FAILURE() << "no error";
  } catch (const SocketError& error) {
    EXPECT_EQ(error.Message(), "Socket Error # 11001\r\n");
  }
  const auto took = SteadyClock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_LT(took, std::chrono::seconds(5));
  {
    std::lock_guard<std::mutex> lock(resolverMutex);
    EXPECT_EQ(hangingLookups, 1);
  }
  ReleaseResolver();
}

TEST(HostLookup, AbortEndsAnUnansweredLookup) {
  HangResolver();
  test::RecordingClock clock;  // the connect time-out stays long
  HttpClient client;
  std::thread stopper([&client] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    client.Abort();
  });
  std::string body;
  const auto start = SteadyClock::now();
  EXPECT_THROW(client.Get(std::string("http://") + HangingName + "/", body), RequestAbortedError);
  EXPECT_LT(SteadyClock::now() - start, std::chrono::seconds(5));
  stopper.join();
  ReleaseResolver();
}

TEST(HostLookup, OtherNamesStillReachTheSystemResolver) {
  HttpClient client;
  std::string body;
  // A label longer than 63 characters fails inside the resolver; no query leaves the machine.
  EXPECT_THROW(client.Get("http://" + std::string(70, 'a') + ".invalid/", body), SocketError);
}

}  // namespace
}  // namespace korvane
