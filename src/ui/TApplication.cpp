#include "ui/TApplication.h"

#include <algorithm>
#include <iostream>

#include "platform/Exception.h"
#include "ui/THeadlessBackend.h"

namespace korvane {

namespace {

// The text of the standard error box for anything that is not an exception object.
constexpr const char* UnknownErrorText = "Unknown error.";

}  // namespace

TApplication::TApplication(TDialogService& dialogs, TAppBackend* backend)
    : dialogs_(dialogs), mainThread_(std::this_thread::get_id()) {
  if (!backend) {
    ownBackend_ = std::make_unique<THeadlessBackend>();
    backend = ownBackend_.get();
  }
  backend_ = backend;
  backend_->Attach(this);
}

TApplication::~TApplication() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    closing_ = true;
    queue_.clear();
    syncDone_.notify_all();
    // The released workers still need the lock on their way out.
    syncDone_.wait(lock, [this] { return waitingWorkers_ == 0; });
  }
  backend_->Attach(nullptr);
}

void TApplication::SetTitle(std::string title) {
  title_ = std::move(title);
  backend_->TitleChanged();
}

void TApplication::Run() {
  if (!Terminated()) backend_->Run();
}

void TApplication::Terminate() {
  terminated_.store(true);
  backend_->Wake();
}

void TApplication::ProcessMessages() {
  backend_->ProcessMessages();
}

void TApplication::HandleMessage() {
  backend_->HandleMessage();
}

void TApplication::ProcessMessagesUntil(const std::function<bool()>& done) {
  while (!done())
    backend_->HandleMessage();
}

void TApplication::QueueCall(std::function<void()> call) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closing_) return;
    queue_.push_back({nextSequence_++, std::move(call), nullptr});
  }
  backend_->Wake();
}

void TApplication::Synchronize(const std::function<void()>& operation) {
  if (IsMainThread()) {
    operation();
    return;
  }
  auto sync = std::make_shared<SyncState>();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closing_) return;
    queue_.push_back({nextSequence_++, operation, sync});
    ++waitingWorkers_;
  }
  backend_->Wake();
  std::unique_lock<std::mutex> lock(mutex_);
  syncDone_.wait(lock, [&] { return sync->Done || closing_; });
  --waitingWorkers_;
  if (closing_) syncDone_.notify_all();
}

std::uint64_t TApplication::QueueMark() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return nextSequence_;
}

bool TApplication::HasQueuedCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !queue_.empty();
}

bool TApplication::RunQueuedCalls(std::uint64_t before) {
  bool ran = false;
  while (true) {
    QueuedCall next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty() || queue_.front().Sequence >= before) break;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    CallHandler(next.Call);
    ran = true;
    if (next.Sync) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        next.Sync->Done = true;
      }
      syncDone_.notify_all();
    }
  }
  return ran;
}

bool TApplication::CallHandler(const std::function<void()>& handler) noexcept {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    try {
      HandleException(error);
    } catch (...) {
      std::cerr << error.what() << '\n';
    }
  } catch (...) {
    try {
      dialogs_.ShowError(UnknownErrorText);
    } catch (...) {
      std::cerr << UnknownErrorText << '\n';
    }
  }
  return false;
}

void TApplication::ShowMessage(const std::string& text) {
  dialogs_.ShowMessage(text);
}

void TApplication::HandleException(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) {
    dialogs_.ShowError(own->Message());
  } else {
    dialogs_.ShowError(error.what());
  }
}

void TApplication::AddForm(TForm& form) {
  forms_.push_back(&form);
  if (!mainForm_) mainForm_ = &form;
}

void TApplication::RemoveForm(TForm& form) {
  std::erase(forms_, &form);
  if (mainForm_ == &form) mainForm_ = nullptr;
}

void TApplication::TimerChanged(TTimer& timer) {
  backend_->TimerChanged(timer);
}

void TApplication::TimerRemoved(TTimer& timer) {
  backend_->TimerRemoved(timer);
}

}  // namespace korvane
