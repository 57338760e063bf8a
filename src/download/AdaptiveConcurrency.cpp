#include "download/AdaptiveConcurrency.h"

#include <algorithm>

namespace korvane {

AdaptiveConcurrency::AdaptiveConcurrency(int start, int ceiling)
    : ceiling_(std::max(1, ceiling)),
      limit_(std::clamp(start, 1, std::max(1, ceiling))),
      retired_(static_cast<std::size_t>(ceiling_), false) {}

int AdaptiveConcurrency::Rank(int lane) const {
  if (lane < 0) return -1;
  int rank = 0;
  for (int below = 0; below < lane && below < ceiling_; ++below)
    rank += retired_[static_cast<std::size_t>(below)] ? 0 : 1;
  return rank;
}

void AdaptiveConcurrency::Retire(int lane) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lane >= 0 && lane < ceiling_) retired_[static_cast<std::size_t>(lane)] = true;
  }
  slotFreed_.notify_all();
}

bool AdaptiveConcurrency::Acquire(const StopSignal& stop, PaceTicket& ticket) {
  Milliseconds pause{0};
  bool holds = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    slotFreed_.wait(lock, [&] {
      return (!holding_ && inFlight_ < limit_ && Rank(ticket.Lane) < limit_) || closed_ ||
             stop.Raised();
    });
    if (closed_ || stop.Raised()) return false;
    ++inFlight_;
    ticket.Epoch = epoch_;
    pause = pause_;
    if (holdOff_ > Milliseconds{0}) {
      pause = std::max(pause, holdOff_);
      holdOff_ = Milliseconds{0};
      holding_ = holds = true;
    }
  }
  // The slot is held through the pause, so at one request in flight the pause spaces the
  // requests of all workers, not of each one.
  if (pause > Milliseconds{0}) TheClock().SleepUnless(pause, stop);
  if (holds) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      holding_ = false;
    }
    slotFreed_.notify_all();
  }
  if (!stop.Raised()) return true;
  Release(ticket, AnswerPace::Neutral);
  return false;
}

void AdaptiveConcurrency::Release(const PaceTicket& ticket, AnswerPace pace) {
  (void)ticket;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --inFlight_;
    if (pace == AnswerPace::Healthy) {
      refusedFor_ = Milliseconds{0};
      Grow();
    }
  }
  slotFreed_.notify_all();
}

void AdaptiveConcurrency::Grow() {
  if (pause_ > Milliseconds{0}) {
    pause_ = Milliseconds{0};
    return;
  }
  if (limit_ >= ceiling_) return;
  if (slowStart_) {
    ++limit_;
    return;
  }
  if (++healthyInRound_ < limit_) return;
  healthyInRound_ = 0;
  ++limit_;
}

bool AdaptiveConcurrency::PushedBack(const PaceTicket& ticket, Milliseconds retryAfter) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return false;
  slowStart_ = false;
  healthyInRound_ = 0;
  const Milliseconds asked = std::min(retryAfter, LongestPushBackPause);
  // One reduction per round: this request was sent before the last one, which answered it.
  const bool reduced = ticket.Epoch == epoch_;
  if (reduced) {
    ++epoch_;
    if (limit_ > 1) {
      limit_ /= 2;
    } else {
      pause_ = pause_ == Milliseconds{0} ? FirstPushBackPause
                                         : std::min(pause_ + pause_ / 4, LongestPushBackPause);
    }
  }
  // Like the reduction, the wait is asked once per round: a refusal of a request sent before the
  // last one was answered by it, and must not make the task wait again.
  if (reduced) holdOff_ = std::max(holdOff_, asked);
  // Each reduction's wait is what the next request serves; later answers to requests already in
  // flight add nothing, as they add no wait.
  if (reduced) refusedFor_ += std::max(pause_, asked);
  if (refusedFor_ < RefusalPatience) return false;
  closed_ = refusing_ = true;
  lock.unlock();
  slotFreed_.notify_all();
  return true;
}

bool AdaptiveConcurrency::Refusing() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return refusing_;
}

void AdaptiveConcurrency::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  slotFreed_.notify_all();
}

void AdaptiveConcurrency::WakeAll() {
  { std::lock_guard<std::mutex> lock(mutex_); }
  slotFreed_.notify_all();
}

int AdaptiveConcurrency::Limit() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return limit_;
}

int AdaptiveConcurrency::InFlight() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inFlight_;
}

Milliseconds AdaptiveConcurrency::Pause() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pause_;
}

}  // namespace korvane
