// HTTPS against the stand-in service over TLS (a throwaway authority made at start).
//
// 1. 2,000 tile GETs with HttpClient and 2,000 with libcurl, both keeping their connection (one
//    TLS session each), in alternating blocks:  RESULT https_vs_libcurl <libcurl time / ours>
// 2. A zoom-3 task of the current protocol (eight workers), its tiles fetched over https from
//    the one tile host as the service serves them: the TLS handshakes the workers made per tile:
//                                                RESULT https_handshakes_per_tile <ratio>
#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ClientRace.h"
#include "download/TileWorker.h"
#include "lookup/StartLookup.h"
#include "net/BrowserHeaders.h"
#include "net/HttpClient.h"
#include "net/TlsChannel.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "support/ChildProcess.h"
#include "support/TestCertificates.h"
#include "task/DownloadTask.h"
#include "ui/TApplication.h"
#include "ui/TScriptedDialogs.h"

namespace {

using namespace korvane;
using SteadyClock = std::chrono::steady_clock;

constexpr int RequestsPerClient = 2000;
constexpr int Blocks = 10;
constexpr int WarmUpRequests = 50;
constexpr int TaskZoom = 3;
constexpr int TaskWorkers = 8;
constexpr auto StartBound = std::chrono::seconds(30);
constexpr auto RunBound = std::chrono::seconds(600);

// The stand-in over TLS as a child process on a loopback port of the system's choice.
class TlsStandin {
 public:
  TlsStandin(const std::string& certificateFile, const std::string& keyFile) {
    int out = -1;
    pid_ = test::SpawnChild({std::string(KORVANE_PROGRAM_DIR) + "/korvane-standin", "--listen",
                             "127.0.0.1:0", "--tls", certificateFile, keyFile},
                            &out);
    std::string line;
    const auto deadline = SteadyClock::now() + StartBound;
    char c = 0;
    while (SteadyClock::now() < deadline) {
      pollfd readable{out, POLLIN, 0};
      if (::poll(&readable, 1, 100) <= 0) continue;
      if (::read(out, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    ::close(out);
    const std::string prefix = "listening ";
    if (line.rfind(prefix, 0) != 0) throw std::runtime_error("the stand-in did not start");
    host_ = line.substr(prefix.size());
  }
  ~TlsStandin() { test::StopChild(pid_, std::chrono::seconds(10)); }
  const std::string& Host() const { return host_; }

 private:
  pid_t pid_ = -1;
  std::string host_;
};

// Waits cost nothing: the task's pauses are not what is measured.
class NoWaitClock final : public Clock {
 public:
  void Sleep(Milliseconds) override {}
  Milliseconds RealDuration(Milliseconds) override { return Milliseconds(0); }
};

class WorkerHost final : public TileWorkerHost {
 public:
  void AddLogLine(const std::string& line) override {
    if (line.find(" OK") == std::string::npos && line.find(" Finished.") == std::string::npos)
      std::fprintf(stderr, "%s\n", line.c_str());
  }
  void AddFailedLine(const std::string&) override { ++failedLines; }
  void WorkerDone() override { --runningWorkers; }

  int runningWorkers = 0;
  int failedLines = 0;
};

double RaceWithLibcurl(const std::vector<std::string>& urls, const std::string& caFile) {
  HttpClient ours;
  SetBrowserHeaders(ours);
  std::string body;
  std::size_t next = 0;
  auto fetchOurs = [&] {
    body.clear();
    try {
      ours.Get(urls[next++ % urls.size()], body);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "HttpClient: %s\n", error.what());
      return false;
    }
    return body.size() > 2 && static_cast<unsigned char>(body[0]) == 0xFF;
  };

  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, bench::AppendToString);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  std::size_t curlNext = 0;
  auto fetchCurl = [&] {
    body.clear();
    curl_easy_setopt(curl, CURLOPT_URL, urls[curlNext++ % urls.size()].c_str());
    CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) std::fprintf(stderr, "libcurl: %s\n", curl_easy_strerror(code));
    return code == CURLE_OK && status == 200 && body.size() > 2 &&
           static_cast<unsigned char>(body[0]) == 0xFF;
  };

  bench::Totals oursTotals;
  bench::Totals curlTotals;
  const long handshakesBefore = TlsHandshakeCount();
  bench::RaceInBlocks(RequestsPerClient, Blocks, WarmUpRequests, fetchOurs, fetchCurl, oursTotals,
                      curlTotals);
  curl_easy_cleanup(curl);
  curl_global_cleanup();

  std::printf("fetching %zu different tiles in turn over TLS, connection kept\n", urls.size());
  bench::Report("HttpClient", RequestsPerClient, oursTotals);
  bench::Report("libcurl", RequestsPerClient, curlTotals);
  std::printf("HttpClient handshakes: %ld\n", TlsHandshakeCount() - handshakesBefore);
  if (oursTotals.failures != 0 || curlTotals.failures != 0) {
    throw std::runtime_error("failed fetches in the race");
  }
  return curlTotals.wallSeconds / oursTotals.wallSeconds;
}

// Runs the task's workers to their end; the handshakes they made per tile.
double HandshakesPerTile(DownloadTask& task) {
  NoWaitClock clock;
  SetClock(&clock);
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  WorkerHost host;
  std::vector<std::unique_ptr<TileWorker>> workers;
  const long before = TlsHandshakeCount();
  for (int index = 0; index < TaskWorkers; ++index) {
    workers.push_back(std::make_unique<TileWorker>(true, index, &task, host, app));
  }
  for (auto& worker : workers) {
    ++host.runningWorkers;
    worker->Start();
  }
  const auto deadline = SteadyClock::now() + RunBound;
  app.ProcessMessagesUntil(
      [&] { return host.runningWorkers == 0 || SteadyClock::now() > deadline; });
  if (host.runningWorkers != 0) {
    std::fprintf(stderr, "the workers did not end in time\n");
    std::_Exit(1);
  }
  workers.clear();
  SetClock(nullptr);
  const long handshakes = TlsHandshakeCount() - before;
  std::printf("zoom-%d task: %d tiles, %d workers, %ld handshakes, %d failed lines\n", TaskZoom,
              task.Grid().TotalCount(), TaskWorkers, handshakes, host.failedLines);
  if (host.failedLines != 0) throw std::runtime_error("the task did not store every tile");
  return static_cast<double>(handshakes) / task.Grid().TotalCount();
}

int Run() {
  namespace fs = std::filesystem;
  const fs::path root =
      fs::temp_directory_path() / ("korvane-https-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "ini");
  fs::create_directories(root / "blankimg");
  fs::create_directories(root / "save");
  fs::copy_file(fs::path(KORVANE_PROGRAM_DIR) / "blankimg" / "blank.jpg",
                root / "blankimg" / "blank.jpg");
  test::TestCertificateAuthority authority;
  const test::TestCertificate server = authority.Issue();
  const std::string caFile = (root / "ca.pem").string();
  test::WriteTextFile(caFile, authority.CertificatePem());
  test::WriteTextFile((root / "server.pem").string(), server.CertificatePem);
  test::WriteTextFile((root / "server.key").string(), server.KeyPem);
  TlsStandin standin((root / "server.pem").string(), (root / "server.key").string());

  const std::string service = "https://" + standin.Host();
  const std::string config = "[Service]\r\nProtocol=current\r\nLookupBase=" + service +
                             "\r\nTileBase=" + service + "\r\nHomePage=" + service +
                             "/\r\nCAFile=" + caFile + "\r\n";
  WriteFileBytes((root / "ini" / "config.ini").string(), config);
  SetProgramFolder(root.string());

  TaskParameters params;
  params.Latitude = 48.8566;
  params.Longitude = 2.3522;
  {
    HttpClient client;
    SetBrowserHeaders(client);
    const StartLookupResult found =
        LookUpForStart(PanoramaProtocol::Current, client, params.Latitude, params.Longitude,
                       TaskZoom, [](const std::string&) {});
    if (found.PanoId.empty() || !found.RefusalMessage.empty())
      throw std::runtime_error("no panorama at zoom " + std::to_string(TaskZoom));
    params.PanoId = found.PanoId;
    found.ApplyTo(params);
  }
  params.Zoom = TaskZoom;
  params.ThreadCount = TaskWorkers;
  params.SavePath = (root / "save").string() + "/";
  params.TaskFileName = "bench.krvn";
  DownloadTask task(&params);
  std::vector<std::string> urls;
  for (int x = task.Grid().MinX; x <= task.Grid().MaxX; ++x) {
    for (int y = task.Grid().MinY; y <= task.Grid().MaxY; ++y)
      urls.push_back(task.GetTileUrl(x, y));
  }

  const double ratio = RaceWithLibcurl(urls, caFile);
  const double perTile = HandshakesPerTile(task);
  SetProgramFolder("");
  fs::remove_all(root);
  std::printf("RESULT https_vs_libcurl %.3f\n", ratio);
  std::printf("RESULT https_handshakes_per_tile %.3f\n", perTile);
  return 0;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "https_bench: %s\n", error.what());
    return 1;
  }
}
