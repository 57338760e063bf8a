#include "app/KorvaneCli.h"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "KorvaneVersion.h"
#include "app/BatchRun.h"
#include "app/CliOptions.h"
#include "app/CliStitch.h"
#include "app/CliTaskRun.h"
#include "app/StopSignals.h"
#include "config/Config.h"
#include "retry/RetryWindow.h"
#include "session/PlaceRequest.h"
#include "session/TaskFileRequest.h"
#include "ui/TConsoleDialogs.h"

namespace korvane {
namespace {

constexpr int ExitTaskEnded = 0;
constexpr int ExitStartFailed = 1;
constexpr int ExitBadCommandLine = 2;

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
  TakePlaceFromLatitude(request);
  request.Service = RouteForStart(options);
  return request;
}

int RunTask(const CliOptions& options, TApplication& app, SignalTarget& signals, std::ostream& out,
            std::ostream& err) {
  std::optional<ProgressLine> progress;
  if (ProgressLine::WantedOn(STDERR_FILENO, options.Quiet)) progress.emplace(STDERR_FILENO);
  const CliTaskOutcome outcome =
      RunCliTask(BuildRequest(options), app, signals, out, progress ? &*progress : nullptr);
  if (!outcome.Ended) return ExitStartFailed;
  if (options.Stitch) return StitchEndedTask(outcome.TaskFilePath, out, err);
  return ExitTaskEnded;
}

int RunRetry(const CliOptions& options, TApplication& app, SignalTarget& signals,
             TConsoleDialogs& dialogs, std::ostream& out) {
  RetryWindow retry(app);
  retry.OnLine = [&out](const std::string& line) { out << line << '\n' << std::flush; };
  // SIGINT or SIGTERM stops the run at once; its lines end with the stop line.
  const SignalListening listening(signals, app, [&retry] { retry.Stop(); });
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
  if (options->ShowVersion) {
    out << "korvane-cli " << ProductVersion << '\n';
    return ExitTaskEnded;
  }

  // Before any thread starts, so the workers inherit the blocked signals.
  SignalTarget target;
  TStopSignals signals([&target] { target.Signalled(); });

  TConsoleDialogs dialogs(err);
  TApplication app(dialogs);
  int status = ExitStartFailed;
  try {
    if (options->RetryFile) {
      status = RunRetry(*options, app, target, dialogs, out);
    } else if (options->BatchFile) {
      status = RunBatch(*options, app, target, out, err);
    } else {
      status = RunTask(*options, app, target, out, err);
    }
  } catch (const std::exception& error) {
    app.HandleException(error);
    status = ExitStartFailed;
  }
  target.Set(nullptr, nullptr);
  return status;
}

}  // namespace korvane
