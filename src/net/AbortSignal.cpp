#include "net/AbortSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "net/HttpErrors.h"

namespace korvane {

AbortSignal::AbortSignal() : eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

AbortSignal::~AbortSignal() {
  if (eventFd_ >= 0) ::close(eventFd_);
}

void AbortSignal::Raise() noexcept {
  raised_.store(true, std::memory_order_release);
  if (eventFd_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t ignored = ::write(eventFd_, &one, sizeof one);
}

void AbortSignal::Clear() noexcept {
  raised_.store(false, std::memory_order_release);
  if (eventFd_ < 0) return;
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t ignored = ::read(eventFd_, &count, sizeof count);
}

void AbortSignal::ThrowIfRaised() const {
  if (IsRaised()) throw RequestAbortedError();
}

}  // namespace korvane
