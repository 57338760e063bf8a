#include "session/DownloadSession.h"

#include <functional>
#include <vector>

#include "download/Placeholder.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/KeptTexts.h"
#include "task/ResumePosition.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane {
namespace {

// Every fourth tick of the one-second clock saves the task's state.
constexpr int SaveEveryTicks = 4;

// How many of a worker's tiles lie at or before its resume limit: worker `index` of `count`
// takes the sequence numbers k with k mod count == index.
int TilesBefore(int resumeLimit, int count, int index) {
  if (count < 1 || resumeLimit < 1) return 0;
  if (index == 0) return resumeLimit / count;
  return resumeLimit < index ? 0 : (resumeLimit - index) / count + 1;
}

}  // namespace

DownloadSession::DownloadSession(SessionHost& host, TSynchronizer& synchronizer)
    : host_(host), synchronizer_(synchronizer) {}

DownloadSession::~DownloadSession() {
  for (auto& worker : workers_) {
    if (worker) worker->Terminate();
  }
}

bool DownloadSession::Running() const {
  for (const auto& worker : workers_) {
    if (worker) return true;
  }
  return false;
}

SessionProgress DownloadSession::Progress() const {
  if (!Running()) return endProgress_;
  SessionProgress progress;
  if (!task_) return progress;
  progress.Total = task_->Grid().TotalCount();
  progress.Failed = static_cast<int>(failed_.size());
  const int count = params_ ? params_->ThreadCount : 0;
  if (SharesTiles()) progress.Done = sharedWalk_->FinishedEarlier();
  for (int i = 0; i < static_cast<int>(workers_.size()); ++i) {
    if (!workers_[i]) continue;
    if (!SharesTiles()) progress.Done += TilesBefore(task_->ResumeSkip(i), count, i);
    progress.Done += workers_[i]->FinishedTiles();
    progress.Substituted += workers_[i]->SubstitutedTiles();
    progress.Placeholders += workers_[i]->PlaceholderTiles();
    progress.FinishedThisRun += workers_[i]->FinishedTiles();
  }
  return progress;
}

void DownloadSession::AddLog(std::string line) {
  log_.push_back(std::move(line));
  host_.LogLineAdded(log_.back());
}

void DownloadSession::AddLogLine(const std::string& line) {
  AddLog(line);
}

void DownloadSession::AddFailedLine(const std::string& line) {
  failed_.push_back(line);
  host_.FailedLineAdded(line);
}

void DownloadSession::WorkerDone() {
  --runningWorkers_;
  if (runningWorkers_ != 0 || !SharesTiles()) return;
  // Not here: the end sequence destroys the workers, and the last one waits in this call.
  host_.CallSoon([alive = std::weak_ptr<DownloadSession*>(alive_)] {
    if (const auto session = alive.lock()) (*session)->EndWhenDone();
  });
}

void DownloadSession::EndWhenDone() {
  if (!Running() || runningWorkers_ != 0) return;
  host_.ProgressChanged(Progress());
  EndSequence();
}

void DownloadSession::TerminateWorkers(bool withLogLines) {
  for (int i = 0; i < static_cast<int>(workers_.size()); ++i) {
    if (workers_[i]) workers_[i]->Terminate();
    if (withLogLines && i < params_->ThreadCount)
      AddLog(KeptText::WorkerWillBeTerminatedLine(i + 1));
  }
}

void DownloadSession::StopAndFinish(bool quietly) {
  if (!Running()) return;
  TerminateWorkers(!quietly);
  host_.ServeUntil([this] { return runningWorkers_ == 0; });
  if (Running()) EndSequence();  // unless a tick ran it meanwhile
}

void DownloadSession::Tick() {
  if (!Running()) return;
  ++timerTicks_;
  if (timerTicks_ % SaveEveryTicks == 0) SaveTaskState();
  host_.ProgressChanged(Progress());
  if (runningWorkers_ != 0) return;
  EndSequence();
}

void DownloadSession::SaveWorkerPositions() {
  // The tile files are the record of a task whose workers share their tiles (SharedTileWalk).
  if (SharesTiles()) return;
  std::vector<std::pair<int, TilePosition>> positions;
  for (int i = 0; i < params_->ThreadCount; ++i) {
    if (!workers_[i]) continue;
    const auto [x, y] = workers_[i]->CurrentXY();
    const auto recordable = RecordableResumePosition(task_->Grid(), params_->ThreadCount, x, y);
    if (!recordable) continue;
    positions.emplace_back(i, TilePosition{recordable->first, recordable->second});
  }
  // All in one replacement of the file: a column of one save beside the row of another could
  // point past tiles the worker never fetched.
  WriteResumePositions(task_->TaskFilePath(), positions);
}

void DownloadSession::FlushTiles() {
  // Today's tiles are stored without a flush each (FileFlush::Later): one flush of the file
  // system here puts every tile stored so far on the disk.
  if (SharesTiles()) FlushFileSystemOf(TaskFileNamesOf(task_->TaskFilePath()).TileFolder);
}

void DownloadSession::SaveTaskState() {
  FlushTiles();
  // The lists before the positions: a run killed between them then fetches some tiles again,
  // where the other order would leave finished positions whose failed lines never reached the
  // list.
  SaveLines(task_->FailedFileName, failed_);
  SaveLines(task_->LogFileName, log_);
  SaveWorkerPositions();
}

void DownloadSession::EndSequence() {
  // A panorama id the service no longer serves gives placeholders only: say so before the end,
  // so nobody re-downloads the list against the same id.
  const SessionProgress run = Progress();
  if (MostlyPlaceholders(run.Placeholders, run.FinishedThisRun)) AddLog(RetiredPanoramaLine);
  // The Map Tiles API bills per request: the user sees what this run cost.
  if (mapTiles_) AddLog(BillingLine(MapTilesRequests()));
  AddLog("");
  AddLog(std::string(32, '-'));
  AddLog(KeptText::TaskStoppedLogLine);
  AddLog("");
  AddLog("Now time:" + NowText());
  AddLog("");
  AddLog("Log file has been saved as " + task_->LogFileName);

  // A file that cannot be written must not leave the task half-ended: every step still runs
  // and the workers are destroyed; the first error is reported after.
  std::exception_ptr firstError;
  auto attempt = [&firstError](const std::function<void()>& step) {
    try {
      step();
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
    }
  };
  attempt([this] { FlushTiles(); });
  attempt([this] { SaveLines(task_->LogFileName, log_); });
  attempt([this] { SaveLines(task_->FailedFileName, failed_); });
  attempt([this] { SaveWorkerPositions(); });
  endProgress_ = Progress();
  for (auto& worker : workers_)
    worker.reset();
  runLock_.reset();

  if (firstError) {
    try {
      std::rethrow_exception(firstError);
    } catch (const std::exception& error) {
      host_.TaskEnded(&error);
    }
  } else {
    host_.TaskEnded(nullptr);
  }
}

}  // namespace korvane
