#include "app/KorvaneCli.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "app/CliOptions.h"
#include "app/KorvaneForms.h"
#include "app/LinePrinter.h"
#include "app/StopSignals.h"
#include "ui/TConsoleDialogs.h"

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

void ApplyBoxes(const CliOptions& options, MainWindow& form) {
  if (options.Task) form.taskNameEdit.SetText(*options.Task);
  if (options.Latitude) form.latitudeEdit.SetText(*options.Latitude);
  if (options.Longitude) form.longitudeEdit.SetText(*options.Longitude);
  if (options.Zoom) form.zoomEdit.SetText(*options.Zoom);
  if (options.Path) form.savePathEdit.SetText(*options.Path);
}

int RunTask(const CliOptions& options, TApplication& app, TConsoleDialogs& dialogs,
            KorvaneForms& forms, SignalTarget& signals, std::ostream& out) {
  MainWindow& form = forms.Form1;
  form.Show();
  form.logMemo.SetPeer(std::make_unique<TLinePrinter>(form.logMemo, out));

  if (options.OpenFile) {
    dialogs.PresetFile(*options.OpenFile);
    app.CallHandler([&form] { form.OpenTaskClick(); });
  }
  ApplyBoxes(options, form);

  bool ended = false;
  bool stopRequested = false;
  form.OnTaskEnded = [&ended] { ended = true; };
  signals.Set(&app, [&form, &stopRequested] {
    stopRequested = true;
    if (form.TaskRunning()) form.StartStopClick();
  });

  app.CallHandler([&form] { form.StartStopClick(); });
  if (!form.TaskRunning()) return ExitStartFailed;
  // A signal that came during the lookup stops the task as soon as it runs.
  if (stopRequested) app.CallHandler([&form] { form.StartStopClick(); });
  app.ProcessMessagesUntil([&ended] { return ended; });
  return ended ? ExitTaskEnded : ExitStartFailed;
}

int RunRetry(const CliOptions& options, TConsoleDialogs& dialogs, KorvaneForms& forms,
             std::ostream& out) {
  RetryWindow& retry = forms.retryWindow;
  retry.OnLine = [&out](const std::string& line) { out << line << '\n' << std::flush; };
  retry.Show();
  dialogs.PresetFile(*options.RetryFile);
  retry.App().CallHandler([&retry] { retry.OpenListClick(); });
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
    KorvaneForms forms(app);
    status = options->RetryFile ? RunRetry(*options, dialogs, forms, out)
                                : RunTask(*options, app, dialogs, forms, target, out);
  } catch (const std::exception& error) {
    // A failure while the windows are made: the error box, then the program ends.
    app.HandleException(error);
    status = ExitStartFailed;
  }
  target.Set(nullptr, nullptr);
  return status;
}

}  // namespace korvane
