#pragma once

#include <atomic>

namespace korvane {

// A flag that one thread raises to end another thread's network waits at once. Besides the
// flag it holds an event descriptor that becomes readable when raised and stays readable until
// cleared, so every poll of a socket can watch it too. Raise and IsRaised are thread-safe;
// Clear is for the thread that owns the waits, between requests.
class AbortSignal {
 public:
  AbortSignal();
  ~AbortSignal();
  AbortSignal(const AbortSignal&) = delete;
  AbortSignal& operator=(const AbortSignal&) = delete;

  void Raise() noexcept;
  bool IsRaised() const noexcept { return raised_.load(std::memory_order_acquire); }
  void Clear() noexcept;

  // The descriptor to poll for POLLIN; -1 when the system gave none (then only the flag works,
  // seen before every wait).
  int WaitFd() const noexcept { return eventFd_; }

  // Raises RequestAbortedError when raised.
  void ThrowIfRaised() const;

 private:
  std::atomic<bool> raised_{false};
  int eventFd_ = -1;
};

}  // namespace korvane
