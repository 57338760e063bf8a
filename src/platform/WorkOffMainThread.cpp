#include "platform/WorkOffMainThread.h"

#include <exception>
#include <thread>

namespace korvane {

void RunOffMainThread(TSynchronizer& synchronizer, const ServeLoopUntil& serve,
                      const std::function<void()>& work) {
  bool ended = false;  // main thread only: set by the synchronized call below
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    synchronizer.Synchronize([&ended] { ended = true; });
  });
  // The loops run every call through their handler guard, so serving does not raise.
  serve([&ended] { return ended; });
  worker.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace korvane
