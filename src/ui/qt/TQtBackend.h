#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <map>

#include "ui/TAppBackend.h"
#include "ui/qt/QtPeerFactory.h"

namespace korvane {

// The application loop on Qt's event loop; a QApplication must exist first, on the thread that
// makes the TApplication. Run is an event loop on QApplication until Terminate, which quits that
// loop alone: message boxes shown while the program winds down still work. Queued and synchronized
// calls travel as queued invocations to the GUI thread (Synchronize blocks the worker until
// its call ran); timers are QTimers; ProcessMessages processes Qt's pending events; ShowModal
// runs a modal loop until the form is closed. Closing the last window does not quit: the model
// decides (closing the main form terminates the application).
class TQtBackend final : public TAppBackend {
 public:
  TQtBackend();
  ~TQtBackend() override;

  void Attach(TApplication* app) override;
  void Run() override;
  void ProcessMessages() override;
  void HandleMessage() override;
  void Wake() override;
  void TimerChanged(TTimer& timer) override;
  void TimerRemoved(TTimer& timer) override;
  TPeerFactory* PeerFactory() override { return &factory_; }
  void RunModal(TForm& form) override;
  void TitleChanged() override;

 private:
  // Runs on the GUI thread for every Wake.
  void Pump();

  TApplication* app_ = nullptr;
  QEventLoop* runLoop_ = nullptr;  // the loop of Run, while it runs
  QObject pump_;                   // lives on the GUI thread: the target of the queued invocations
  QtPeerFactory factory_;
  std::map<TTimer*, QTimer*> timers_;  // children of pump_
  TTimer* ticking_ = nullptr;          // the timer whose tick is running
};

}  // namespace korvane
