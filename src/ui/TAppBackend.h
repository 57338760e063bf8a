#pragma once

namespace korvane {

class TApplication;
class TForm;
class TPeerFactory;
class TTimer;

// The loop an application runs on: the built-in headless one (THeadlessBackend) or Qt's
// (TQtBackend). Everything but Wake is called on the main thread.
class TAppBackend {
 public:
  virtual ~TAppBackend() = default;

  // The application this backend serves from now on; null when it goes away.
  virtual void Attach(TApplication* app) = 0;
  // Runs the loop until the application is terminated.
  virtual void Run() = 0;
  // Runs what is pending now (queued calls, due timers, window events) and returns.
  virtual void ProcessMessages() = 0;
  // Waits until something is pending (or the application is terminated), then runs it.
  virtual void HandleMessage() = 0;
  // A call was queued or the application was terminated: the loop must look. Thread-safe.
  virtual void Wake() = 0;
  // A timer was made or changed (enabled, interval): (re)schedule it when active.
  virtual void TimerChanged(TTimer& timer) = 0;
  // A timer goes away: never fire it again.
  virtual void TimerRemoved(TTimer& timer) = 0;
  // The maker of widget peers; null when the backend has no widgets.
  virtual TPeerFactory* PeerFactory() = 0;
  // Called by ShowModal once the form is shown: returns when the form is closed (Qt) or at
  // once (headless).
  virtual void RunModal(TForm& form) = 0;
  // The application's title changed.
  virtual void TitleChanged() {}
};

}  // namespace korvane
