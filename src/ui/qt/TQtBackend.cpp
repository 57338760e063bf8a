#include "ui/qt/TQtBackend.h"

#include <QApplication>
#include <QEventLoop>
#include <algorithm>
#include <limits>
#include <utility>

#include "platform/Clock.h"
#include "platform/Exception.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"
#include "ui/TTimer.h"
#include "ui/qt/QtConvert.h"

namespace korvane {

TQtBackend::TQtBackend() {
  if (!QApplication::instance()) throw Exception("The Qt backend needs a QApplication");
  QApplication::setQuitOnLastWindowClosed(false);
}

TQtBackend::~TQtBackend() = default;

void TQtBackend::Attach(TApplication* app) {
  app_ = app;
}

void TQtBackend::Run() {
  if (!app_ || app_->Terminated() || runLoop_) return;
  QEventLoop loop;
  runLoop_ = &loop;
  loop.exec();
  runLoop_ = nullptr;
}

void TQtBackend::ProcessMessages() {
  std::uint64_t mark = app_->QueueMark();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  app_->RunQueuedCalls(mark);
}

void TQtBackend::HandleMessage() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TQtBackend::Wake() {
  // Thread-safe: posts an event to the GUI thread.
  QMetaObject::invokeMethod(
      &pump_, [this] { Pump(); }, Qt::QueuedConnection);
}

void TQtBackend::Pump() {
  if (!app_) return;
  if (app_->Terminated()) {
    // Modal forms see Terminated themselves; a message box still up keeps its loop.
    if (runLoop_) runLoop_->quit();
    return;
  }
  // Only what was queued so far: a call that queues another leaves it to the next pump.
  app_->RunQueuedCalls(app_->QueueMark());
}

void TQtBackend::TimerChanged(TTimer& timer) {
  QTimer*& qtimer = timers_[&timer];
  if (!qtimer) {
    qtimer = new QTimer(&pump_);
    QObject::connect(qtimer, &QTimer::timeout, [this, &timer] {
      if (!app_) return;
      TTimer* outer = std::exchange(ticking_, &timer);
      app_->CallHandler([&timer] { timer.Tick(); });
      ticking_ = outer;
    });
  }
  if (!timer.Active()) {
    qtimer->stop();
    return;
  }
  long long real = TheClock().RealDuration(timer.Interval()).count();
  qtimer->start(static_cast<int>(std::clamp<long long>(real, 0, std::numeric_limits<int>::max())));
}

void TQtBackend::TimerRemoved(TTimer& timer) {
  auto found = timers_.find(&timer);
  if (found == timers_.end()) return;
  QTimer* qtimer = found->second;
  timers_.erase(found);
  qtimer->disconnect();
  qtimer->stop();
  if (ticking_ == &timer) {
    qtimer->deleteLater();  // removed from inside its own tick
  } else {
    delete qtimer;
  }
}

void TQtBackend::RunModal(TForm& form) {
  while (app_ && !app_->Terminated() && form.Visible() && form.Modal()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void TQtBackend::TitleChanged() {
  if (app_) QCoreApplication::setApplicationName(ToQString(app_->Title()));
}

}  // namespace korvane
