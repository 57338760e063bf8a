#pragma once

#include <functional>

namespace korvane {

// Runs operations on the main thread on behalf of worker threads. The application loop
// implements it (headless and Qt); tests implement it too.
class TSynchronizer {
 public:
  virtual ~TSynchronizer() = default;

  // Runs the operation on the main thread and returns when it has run. Called from a worker
  // thread; the main thread must keep serving these calls while it waits for workers to end.
  virtual void Synchronize(const std::function<void()>& operation) = 0;
};

}  // namespace korvane
