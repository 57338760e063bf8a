#include "korvane-cli/KorvaneCli.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "KorvaneVersion.h"
#include "cli/BatchRun.h"
#include "cli/CliTaskRun.h"
#include "cli/CombineAfterTask.h"
#include "cli/DiscoveryRun.h"
#include "cli/InfoRun.h"
#include "cli/ServiceFinder.h"
#include "cli/StopSignals.h"
#include "cli/ViewsAfterTask.h"
#include "config/Config.h"
#include "korvane-cli/CliOptions.h"
#include "net/ServiceAddresses.h"
#include "platform/PrintableText.h"
#include "retry/RetrySession.h"
#include "session/PlaceRequest.h"
#include "session/TaskFileRequest.h"
#include "ui/TConsoleDialogs.h"

namespace korvane {
namespace {

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
  // A place typed over a task file started by id asks for that place.
  if (options.Latitude || options.Longitude) request.PanoId.clear();
  if (options.Zoom) request.Zoom = *options.Zoom;
  if (options.Path) request.SavePath = *options.Path;
  TakePlaceFromLatitude(request);
  if (options.PanoId) request.PanoId = PanoIdOption(options);
  if (options.Date) request.Date = DateOption(options);
  request.Service = RouteForStart(options);
  return request;
}

ExitStatus RunTask(const CliOptions& options, TApplication& app, SignalTarget& signals,
                   std::ostream& out, std::ostream& err) {
  std::optional<ProgressLine> progress;
  if (ProgressLine::WantedOn(STDERR_FILENO, options.Quiet)) progress.emplace(STDERR_FILENO);
  const CliTaskOutcome outcome =
      RunCliTask(BuildRequest(options), app, signals, out, progress ? &*progress : nullptr);
  const ExitStatus status = outcome.Status();
  if (status == ExitStatus::Error) return status;
  ExitStatus after = ExitStatus::Complete;
  if (options.Combine) after = CombineEndedTask(outcome.TaskFilePath, out, err);
  if (options.ViewCount > 0 && after != ExitStatus::Error)
    after = Worse(after, ViewsOfEndedTask(outcome.TaskFilePath, options.ViewCount, out, err));
  return Worse(status, after);
}

BatchOptions BatchOptionsOf(const CliOptions& options) {
  BatchOptions batch;
  batch.SavePath = options.Path ? *options.Path : ReadMainWindowDefaultPath();
  batch.Zoom = options.Zoom ? *options.Zoom : DefaultZoomText;
  batch.Combine = options.Combine;
  batch.ViewCount = options.ViewCount;
  batch.Quiet = options.Quiet;
  batch.Route = [&options] { return RouteForStart(options); };
  return batch;
}

// --around, --area, --route: the plan from the service's lookups, then the batch's downloads.
ExitStatus RunDiscoveryMode(const CliOptions& options, TApplication& app, SignalTarget& signals,
                            std::ostream& out, std::ostream& err) {
  const BatchOptions batch = BatchOptionsOf(options);
  ServiceFinder service(RouteForStart(options));
  StoppableFinder finder(service, app);
  // SIGINT or SIGTERM while the walk looks up ends it; each download then listens itself.
  const SignalListening listening(signals, app, [&finder] { finder.Stop(); });
  return RunDiscovery(DiscoveryRequestOf(options, batch.SavePath), finder,
                      BatchDownload(batch, app, signals, out, err), out, err);
}

ExitStatus RunBatchList(const CliOptions& options, TApplication& app, SignalTarget& signals,
                        std::ostream& out, std::ostream& err) {
  BatchOptions batch = BatchOptionsOf(options);
  batch.ListPath = *options.BatchFile;
  return RunBatch(batch, app, signals, out, err);
}

// The re-download's lines on out, as they arise.
class CliRetryHost final : public RetryHost {
 public:
  CliRetryHost(TApplication& app, std::ostream& out) : app_(app), out_(out) {}
  void LineAdded(const std::string& line) override { out_ << line << '\n' << std::flush; }
  void ServeUntil(const std::function<bool()>& done) override { app_.ProcessMessagesUntil(done); }

 private:
  TApplication& app_;
  std::ostream& out_;
};

ExitStatus RunRetry(const CliOptions& options, TApplication& app, SignalTarget& signals,
                    std::ostream& out) {
  CliRetryHost host(app, out);
  RetrySession retry(host, app);
  // SIGINT or SIGTERM stops the run at once; its lines end with the stop line.
  const SignalListening listening(signals, app, [&retry] { retry.Stop(); });
  RetryRunOutcome outcome = RetryRunOutcome::Failed;
  app.CallHandler([&] { outcome = retry.Run(*options.RetryFile); });
  switch (outcome) {
    case RetryRunOutcome::NoRecords:
      return ExitStatus::Complete;
    case RetryRunOutcome::Ended:
    case RetryRunOutcome::Stopped:
      // A tile still missing (failed again, refused, a placeholder, stopped before it) is no
      // success: the list is worth running again.
      return retry.EveryLineStored() ? ExitStatus::Complete : ExitStatus::Incomplete;
    default:
      return ExitStatus::Error;
  }
}

}  // namespace

ExitStatus RunKorvaneCli(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err) {
  std::string reason;
  std::optional<CliOptions> options = ParseCliOptions(arguments, &reason);
  if (!options) {
    if (!reason.empty()) err << "korvane-cli: " << PrintableText(reason) << '\n';
    err << CliUsage();
    return ExitStatus::BadCommandLine;
  }
  if (options->ShowHelp) {
    out << CliUsage();
    return ExitStatus::Complete;
  }
  if (options->ShowVersion) {
    out << "korvane-cli " << ProductVersion << '\n';
    return ExitStatus::Complete;
  }

  // Before any thread starts, so the workers inherit the blocked signals.
  SignalTarget target;
  TStopSignals signals([&target] { target.Signalled(); });

  TConsoleDialogs dialogs(err);
  TApplication app(dialogs);
  ExitStatus status = ExitStatus::Error;
  try {
    if (options->Info) {
      status = RunInfo(BuildRequest(*options), options->Json, out, err);
    } else if (options->RetryFile) {
      status = RunRetry(*options, app, target, out);
    } else if (options->BatchFile) {
      status = RunBatchList(*options, app, target, out, err);
    } else if (options->Discovers()) {
      status = RunDiscoveryMode(*options, app, target, out, err);
    } else {
      status = RunTask(*options, app, target, out, err);
    }
  } catch (const std::exception& error) {
    app.HandleException(error);
    status = ExitStatus::Error;
  }
  target.Set(nullptr, nullptr);
  return status;
}

}  // namespace korvane
