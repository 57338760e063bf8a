#include "download/TileWorker.h"

#include <exception>
#include <optional>

#include "config/ProxyRequests.h"
#include "download/DownloadLimits.h"
#include "download/TileWalk.h"
#include "net/BrowserHeaders.h"
#include "net/CookieStore.h"
#include "net/HttpClient.h"
#include "net/PushBack.h"
#include "platform/Clock.h"
#include "platform/NumberFormat.h"
#include "task/SubstituteImage.h"

namespace korvane {
namespace {

constexpr const char* CookieLinePrefix = "Cookie: ";

}  // namespace

TileWorker::TileWorker(bool createSuspended, int index, DownloadTask* task, TileWorkerHost& host,
                       TSynchronizer& synchronizer, const SharedTiles* shared)
    : Task(task), index_(index), host_(host), synchronizer_(synchronizer), shared_(shared) {
  if (!createSuspended) Start();
}

TileWorker::~TileWorker() {
  if (thread_.joinable()) thread_.join();
}

void TileWorker::Start() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Execute(); });
}

void TileWorker::Terminate() {
  terminated_.store(true, std::memory_order_relaxed);
  stop_.Raise();
  if (shared_ != nullptr) shared_->Pace.WakeAll();
  std::lock_guard<std::mutex> lock(clientMutex_);
  if (client_ != nullptr) client_->Abort();
}

bool TileWorker::Terminated() const {
  return terminated_.load(std::memory_order_relaxed);
}

std::pair<int, int> TileWorker::CurrentXY() const {
  const std::uint64_t packed = current_.load(std::memory_order_acquire);
  return {static_cast<int>(static_cast<std::uint32_t>(packed >> 32)),
          static_cast<int>(static_cast<std::uint32_t>(packed))};
}

void TileWorker::SetCurrentXY(int x, int y) {
  current_.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
                     static_cast<std::uint32_t>(y),
                 std::memory_order_release);
  finished_.fetch_add(1, std::memory_order_relaxed);
}

void TileWorker::HandLogLine(const std::string& line) {
  Message = line;
  synchronizer_.Synchronize([this] { host_.AddLogLine(Message); });
}

void TileWorker::HandFailedLine(const std::string& line) {
  Message = line;
  synchronizer_.Synchronize([this] { host_.AddFailedLine(Message); });
}

void TileWorker::Execute() {
  const std::string workerName = "T" + IntToStr(index_ + 1);
  // A failure no tile procedure handles (a tile file that cannot be written, a proxy port that
  // is not a number) ends the walk with its message; the resume point stays at the last
  // finished tile, so a later run of the task comes back to the rest.
  std::optional<std::string> failure;
  try {
    DownloadTiles();
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = "Unknown error.";
  }
  try {
    if (failure) HandLogLine(workerName + " " + *failure);
    HandLogLine(workerName + " Finished.");
  } catch (...) {
    // The host could not take the lines; WorkerDone must still run, or the task never ends.
  }
  try {
    synchronizer_.Synchronize([this] { host_.WorkerDone(); });
  } catch (...) {
    // Nothing is left to tell; the thread must not end by an escaping exception.
  }
}

void TileWorker::DownloadTiles() {
  HttpClient client;
  {
    std::lock_guard<std::mutex> lock(clientMutex_);
    client_ = &client;
  }
  struct ReleaseClient {
    TileWorker& worker;
    ~ReleaseClient() {
      std::lock_guard<std::mutex> lock(worker.clientMutex_);
      worker.client_ = nullptr;
    }
  } releaseClient{*this};
  // A stop that came before the client was known aborts it now.
  if (Terminated()) client.Abort();
  const TaskParameters& params = *Task->Params;
  ApplyProxySettings({params.UseProxy, params.ProxyServer, params.ProxyPort, params.ProxyUsername,
                      params.ProxyPassword},
                     client.Request);
  const bool current = IsTodaysProtocol(params.Protocol);
  if (current) {
    SetCurrentBrowserHeaders(client);
  } else {
    SetBrowserHeaders(client);
  }
  // Today's service answers a refused tile with an HTML page, which must count as push-back
  // and not as a broken image.
  // The Map Tiles API's tiles carry the session and key, added as each is sent.
  MapTilesAccess* const mapTiles = shared_ != nullptr ? shared_->MapTiles : nullptr;
  const HttpGetFunction send =
      mapTiles != nullptr ? mapTiles->GetFunction(client, MapTilesRequest::Tile)
      : current           ? RefuseHtmlPages(client)
                          : HttpGetFunction([&client](const std::string& url, std::string& body) {
                    client.Get(url, body);
                  });
  // The store is read only once; each request carries the home page's cookies its own host,
  // path and scheme may receive. The classic protocol sends the line even with an empty value,
  // as it always has; today's service gets no empty Cookie line.
  const MapCookieJar cookies;
  std::vector<std::string>& headers = client.Request.ExtraHeaders;
  const std::size_t cookieLine = headers.size();
  const HttpGetFunction get = [&headers, &cookies, &send, current, cookieLine](
                                  const std::string& url, std::string& body) {
    const std::string value = cookies.For(url);
    headers.resize(cookieLine);
    if (!current || !value.empty()) headers.push_back(std::string(CookieLinePrefix) + value);
    send(url, body);
  };
  TileFetchWorker fetcher{
      get,
      *Task,
      index_ + 1,
      SubstituteImagePath(),
      [this](const std::string& line) { HandLogLine(line); },
      [this](const std::string& line) { HandFailedLine(line); },
      &stop_,
  };
  if (shared_ != nullptr) {
    TakeSharedTiles(fetcher);
  } else {
    WalkOwnShare(fetcher);
  }
}

void TileWorker::WalkOwnShare(TileFetchWorker& fetcher) {
  // The walk takes its grid bounds and worker count once, here.
  TileWalk walk(Task->Grid(), Task->Params->ThreadCount, index_, Task->ResumeSkip(index_));
  while (!Terminated()) {
    const std::optional<WalkStep> step = walk.Next();
    if (!step) break;
    const TileOutcome outcome = FetchTile(fetcher, step->X, step->Y, step->K);
    if (!Finished(*step, outcome)) break;
    if (outcome == TileOutcome::Saved) TheClock().SleepUnless(SavedTilePause, stop_);
  }
}

void TileWorker::TakeSharedTiles(TileFetchWorker& fetcher) {
  PaceTicket ticket;
  ticket.Lane = index_;
  // However this worker ends, the workers of the lanes above it must not wait for it.
  struct RetireLane {
    AdaptiveConcurrency& pace;
    int lane;
    ~RetireLane() { pace.Retire(lane); }
  } retireLane{shared_->Pace, index_};
  fetcher.PushedBack = [this, &ticket](Milliseconds retryAfter) {
    return shared_->Pace.PushedBack(ticket, retryAfter);
  };
  while (!Terminated()) {
    if (!shared_->Pace.Acquire(stop_, ticket)) break;
    const std::optional<WalkStep> step = shared_->Walk.Next();
    if (!step) {
      shared_->Pace.Release(ticket, AnswerPace::Neutral);
      // Tiles still out may come back to the walk; the worker that hands one back fetches it.
      if (shared_->Walk.Done()) shared_->Pace.Close();
      break;
    }
    TileOutcome outcome = TileOutcome::Interrupted;
    try {
      outcome = FetchTile(fetcher, step->X, step->Y, step->K);
    } catch (...) {
      shared_->Pace.Release(ticket, AnswerPace::Neutral);
      shared_->Walk.Settle();
      throw;
    }
    const bool answered = outcome == TileOutcome::Saved || outcome == TileOutcome::Substituted;
    shared_->Pace.Release(ticket, answered ? AnswerPace::Healthy : AnswerPace::Neutral);
    if (outcome == TileOutcome::HandedBack) {
      shared_->Walk.GiveBack(*step);
      continue;
    }
    shared_->Walk.Settle();
    if (!Finished(*step, outcome)) break;
  }
}

bool TileWorker::Finished(const WalkStep& step, TileOutcome outcome) {
  if (outcome == TileOutcome::StopWorker || outcome == TileOutcome::Interrupted) return false;
  if (outcome == TileOutcome::Substituted) substituted_.fetch_add(1, std::memory_order_relaxed);
  if (outcome == TileOutcome::Placeholder) placeholders_.fetch_add(1, std::memory_order_relaxed);
  SetCurrentXY(step.X, step.Y);
  return true;
}

}  // namespace korvane
