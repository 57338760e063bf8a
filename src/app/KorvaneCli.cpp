#include "app/KorvaneCli.h"

#include <filesystem>
#include <memory>
#include <mutex>

#include "app/CliOptions.h"
#include "app/CliStitch.h"
#include "app/CliTaskHost.h"
#include "app/StopSignals.h"
#include "retry/RetryWindow.h"
#include "session/DownloadSession.h"
#include "session/TaskFileRequest.h"
#include "settings/Config.h"
#include "ui/TConsoleDialogs.h"
#include "ui/TTimer.h"

namespace korvane {
namespace {

constexpr int ExitTaskEnded = 0;
constexpr int ExitStartFailed = 1;
constexpr int ExitBadCommandLine = 2;

// Lets the signal watcher reach the application only while it exists.
class SignalTarget {
 public:
  void Set(TApplication* app, std::function<void()> pressStop) {
    std::lock_guard<std::mutex> lock(mutex_);
    app_ = app;
    pressStop_ = std::move(pressStop);
  }
  void Signalled() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (app_ != nullptr) app_->QueueCall(pressStop_);
  }

 private:
  std::mutex mutex_;
  TApplication* app_ = nullptr;
  std::function<void()> pressStop_;
};

// A task file named relative to the folder the command runs in.
std::string AbsoluteTaskFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// The boxes as the window would hold them: its start-up values, then the task file of --open,
// then each option typed over its box.
StartRequest BuildRequest(const CliOptions& options) {
  StartRequest request{DefaultTaskName, "", "", DefaultZoomText, ReadMainWindowDefaultPath()};
  if (options.OpenFile) request = RequestFromTaskFile(AbsoluteTaskFile(*options.OpenFile));
  if (options.Task) request.TaskName = *options.Task;
  if (options.Latitude) request.Latitude = *options.Latitude;
  if (options.Longitude) request.Longitude = *options.Longitude;
  if (options.Zoom) request.Zoom = *options.Zoom;
  if (options.Path) request.SavePath = *options.Path;
  return request;
}

int RunTask(const CliOptions& options, TApplication& app, SignalTarget& signals, std::ostream& out,
            std::ostream& err) {
  CliTaskHost host(app, out);
  DownloadSession session(host, app);
  TTimer clock(app, "sessionClock");
  clock.SetEnabled(false);
  clock.OnTimer = [&session] { session.Tick(); };

  bool stopRequested = false;
  signals.Set(&app, [&session, &stopRequested] {
    stopRequested = true;
    session.Stop();
  });

  bool started = false;
  app.CallHandler([&] { started = session.Start(BuildRequest(options)); });
  if (!started) {
    signals.Set(nullptr, nullptr);
    return ExitStartFailed;
  }
  clock.SetEnabled(true);
  // A signal that came during the lookup stops the task as soon as it runs.
  if (stopRequested) session.Stop();
  app.ProcessMessagesUntil([&host] { return host.Ended(); });
  signals.Set(nullptr, nullptr);
  if (!host.Ended()) return ExitStartFailed;
  if (options.Stitch && session.Task()) {
    return StitchEndedTask(session.Task()->TaskFilePath(), out, err);
  }
  return ExitTaskEnded;
}

int RunRetry(const CliOptions& options, TApplication& app, TConsoleDialogs& dialogs,
             std::ostream& out) {
  RetryWindow retry(app);
  retry.OnLine = [&out](const std::string& line) { out << line << '\n' << std::flush; };
  retry.Show();
  dialogs.PresetFile(*options.RetryFile);
  app.CallHandler([&retry] { retry.OpenListClick(); });
  return retry.LastRunOutcome() == RetryRunOutcome::Ended ? ExitTaskEnded : ExitStartFailed;
}

}  // namespace

int RunKorvaneCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::optional<CliOptions> options = ParseCliOptions(arguments);
  if (!options) {
    err << CliUsage();
    return ExitBadCommandLine;
  }
  if (options->ShowHelp) {
    out << CliUsage();
    return ExitTaskEnded;
  }

  // Before any thread starts, so the workers inherit the blocked signals.
  SignalTarget target;
  TStopSignals signals([&target] { target.Signalled(); });

  TConsoleDialogs dialogs(err);
  TApplication app(dialogs);
  int status = ExitStartFailed;
  try {
    status = options->RetryFile ? RunRetry(*options, app, dialogs, out)
                                : RunTask(*options, app, target, out, err);
  } catch (const std::exception& error) {
    app.HandleException(error);
    status = ExitStartFailed;
  }
  target.Set(nullptr, nullptr);
  return status;
}

}  // namespace korvane
