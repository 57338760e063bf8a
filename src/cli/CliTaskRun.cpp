#include "cli/CliTaskRun.h"

#include "cli/CliTaskHost.h"
#include "session/DownloadSession.h"
#include "task/SubstituteImage.h"
#include "ui/TTimer.h"

namespace korvane {

void SignalTarget::Set(TApplication* app, std::function<void()> pressStop) {
  std::lock_guard<std::mutex> lock(mutex_);
  app_ = app;
  pressStop_ = std::move(pressStop);
  if (app_ != nullptr && pending_) {
    pending_ = false;
    app_->QueueCall(pressStop_);
  }
}

void SignalTarget::Signalled() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (app_ != nullptr) {
    app_->QueueCall(pressStop_);
  } else {
    pending_ = true;
  }
}

CliTaskOutcome RunCliTask(const StartRequest& request, TApplication& app, SignalTarget& signals,
                          std::ostream& out, ProgressLine* progress) {
  CliTaskHost host(app, out, progress);
  DownloadSession session(host, app);
  TTimer clock(app, "sessionClock");
  clock.SetEnabled(false);
  clock.OnTimer = [&session] { session.Tick(); };

  CliTaskOutcome outcome;
  const SignalListening listening(signals, app, [&session, &outcome] {
    outcome.StopRequested = true;
    session.Stop();
  });

  app.CallHandler([&] { outcome.Started = session.Start(request); });
  if (!outcome.Started) return outcome;
  outcome.Total = session.Progress().Total;
  outcome.PanoId = session.Task()->Params->PanoId;
  outcome.TaskFilePath = session.Task()->TaskFilePath();
  clock.SetEnabled(true);
  // A signal that came during the lookup stops the task as soon as it runs.
  if (outcome.StopRequested) session.Stop();
  app.ProcessMessagesUntil([&host] { return host.Ended(); });
  outcome.Ended = host.Ended();
  outcome.Failed = static_cast<int>(session.FailedLines().size());
  const SessionProgress end = session.Progress();
  outcome.Done = end.Done;
  outcome.Substituted = end.Substituted;
  outcome.StillWanting = TilesStillWanting(session.FailedLines());
  outcome.MapTilesRequests = session.MapTilesRequests();
  return outcome;
}

ExitStatus CliTaskOutcome::Status() const {
  if (!Started || !Ended) return ExitStatus::Error;
  return Complete() ? ExitStatus::Complete : ExitStatus::Incomplete;
}

}  // namespace korvane
