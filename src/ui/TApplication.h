#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Synchronizer.h"
#include "ui/TAppBackend.h"
#include "ui/TDialogService.h"

namespace korvane {

class TForm;
class TTimer;

// The application: its forms, the main-thread loop (queued calls, timers, window events) and
// the standard error box. The thread that makes it is the main thread; everything but
// Terminate, QueueCall, Synchronize and IsMainThread belongs to that thread.
//
// Every handler the loop runs (a queued call, a synchronized operation, a timer tick, a
// control event set off by the user or the backend) goes through CallHandler: an exception
// ends that handler, its message is shown in the error box and the program goes on.
//
// Forms and timers must be destroyed before their application.
class TApplication final : public TSynchronizer {
 public:
  // The dialogs must outlive the application. A null backend means the built-in headless
  // loop; another backend must outlive the application.
  explicit TApplication(TDialogService& dialogs, TAppBackend* backend = nullptr);
  // Releases workers still waiting in Synchronize without running their operations; queued
  // calls are dropped.
  ~TApplication() override;

  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The name shown for the program (task bar, message boxes).
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title);

  // The first form made for the application: closing it ends the application.
  TForm* MainForm() const { return mainForm_; }
  const std::vector<TForm*>& Forms() const { return forms_; }

  // Runs the loop until Terminate; returns at once when already terminated.
  void Run();
  // Ends the loop (Run returns, modal loops end). Final. Thread-safe.
  void Terminate();
  bool Terminated() const { return terminated_.load(); }

  // Runs everything pending now (calls queued before this call, due timers, window events)
  // and returns. Handlers may call it; what runs inside it may call it again.
  void ProcessMessages();
  // Waits until something is pending, then runs it.
  void HandleMessage();
  // Serves the loop until done() holds, also after Terminate: a closing program keeps serving
  // its workers' calls until they have ended. done must turn true through something the loop
  // runs (a queued or synchronized call, a timer tick).
  void ProcessMessagesUntil(const std::function<bool()>& done);

  // Runs call later on the main thread, in the order queued. Thread-safe.
  void QueueCall(std::function<void()> call);
  // From another thread: runs operation on the main thread and returns once it ran (an
  // exception it raises is shown in the error box, not passed back). On the main thread: just
  // runs operation, exceptions included. Thread-safe.
  void Synchronize(const std::function<void()>& operation) override;
  bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

  // Runs a handler; an exception ends it and goes to HandleException. Returns whether the
  // handler ended normally. Never throws.
  bool CallHandler(const std::function<void()>& handler) noexcept;
  // A modal message box with an OK button.
  void ShowMessage(const std::string& text);
  // The standard error box: the exception's message.
  void HandleException(const std::exception& error);

  TDialogService& Dialogs() const { return dialogs_; }
  TAppBackend& Backend() const { return *backend_; }

  // For backends: the mark of the next call to be queued, and a run of the queued calls made
  // before a mark (one at a time, so a nested loop may take the rest). Return whether any ran.
  std::uint64_t QueueMark() const;
  bool RunQueuedCalls(std::uint64_t before = std::numeric_limits<std::uint64_t>::max());
  bool HasQueuedCalls() const;

 private:
  friend class TForm;
  friend class TTimer;
  void AddForm(TForm& form);
  void RemoveForm(TForm& form);
  void TimerChanged(TTimer& timer);
  void TimerRemoved(TTimer& timer);

  struct SyncState {
    bool Done = false;
  };
  struct QueuedCall {
    std::uint64_t Sequence;
    std::function<void()> Call;
    std::shared_ptr<SyncState> Sync;  // set for Synchronize: the worker waits on it
  };

  TDialogService& dialogs_;
  std::unique_ptr<TAppBackend> ownBackend_;
  TAppBackend* backend_;
  std::thread::id mainThread_;
  std::string title_;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  std::atomic<bool> terminated_{false};

  mutable std::mutex mutex_;  // guards everything below
  std::condition_variable syncDone_;
  std::deque<QueuedCall> queue_;
  std::uint64_t nextSequence_ = 0;
  int waitingWorkers_ = 0;  // workers inside Synchronize
  bool closing_ = false;
};

}  // namespace korvane
