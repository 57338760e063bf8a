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
                       TSynchronizer& synchronizer)
    : Task(task), index_(index), host_(host), synchronizer_(synchronizer) {
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
  const bool current = params.Protocol == PanoramaProtocol::Current;
  if (current) {
    SetCurrentBrowserHeaders(client);
  } else {
    SetBrowserHeaders(client);
  }
  // Today's service answers a refused tile with an HTML page, which must count as push-back
  // and not as a broken image.
  const HttpGetFunction send =
      current ? RefuseHtmlPages(client)
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
  TileFetchWorker worker{
      get,
      *Task,
      index_ + 1,
      SubstituteImagePath(),
      [this](const std::string& line) { HandLogLine(line); },
      [this](const std::string& line) { HandFailedLine(line); },
      &stop_,
  };
  // The walk takes its grid bounds and worker count once, here.
  TileWalk walk(Task->Grid(), params.ThreadCount, index_, Task->ResumeSkip(index_));
  while (!Terminated()) {
    const std::optional<WalkStep> step = walk.Next();
    if (!step) break;
    const TileOutcome outcome = FetchTile(worker, step->X, step->Y, step->K);
    if (outcome == TileOutcome::StopWorker || outcome == TileOutcome::Interrupted) break;
    if (outcome == TileOutcome::Substituted) substituted_.fetch_add(1, std::memory_order_relaxed);
    if (outcome == TileOutcome::Placeholder) placeholders_.fetch_add(1, std::memory_order_relaxed);
    SetCurrentXY(step->X, step->Y);
    if (outcome == TileOutcome::Saved) TheClock().SleepUnless(SavedTilePause, stop_);
  }
}

}  // namespace korvane
