// The download engine end to end: a zoom-5 task (338 tiles) fetched by eight workers from the
// stand-in service on loopback, with the real clock and its 1000 ms pause after every saved
// tile. The busiest worker owns 43 tiles, so the pauses alone take 43 s; everything the engine
// adds shows as the excess over that schedule. The service's tile cache is filled first, so
// painting tiles in the service does not count against the engine. Ends with
//   RESULT schedule_ratio <wall time of the run / 43 s>
//   RESULT cpu_ms_per_tile <this process's CPU time during the run / tiles>
//   RESULT peak_rss_mib <this process's peak resident set>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "download/JpegCheck.h"
#include "download/TileWalk.h"
#include "download/TileWorker.h"
#include "net/BrowserHeaders.h"
#include "net/HttpClient.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "task/DownloadTask.h"
#include "ui/TApplication.h"
#include "ui/TScriptedDialogs.h"

extern char** environ;

namespace {

using namespace korvane;
using SteadyClock = std::chrono::steady_clock;

constexpr int Zoom = 5;
constexpr int Workers = 8;
constexpr double ScheduleSeconds = 43.0;  // the busiest worker's 43 saved tiles x 1000 ms
// A run that takes this much longer than its schedule is broken, not slow.
constexpr auto RunBound = std::chrono::seconds(600);

// The stand-in service as a child process on a loopback port of the system's choice.
class Standin {
 public:
  Standin() {
    const std::string program = std::string(KORVANE_PROGRAM_DIR) + "/korvane-standin";
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--listen"),
                    const_cast<char*>("127.0.0.1:0"), nullptr};
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
      ::close(fds[0]);
      throw std::runtime_error("cannot start " + program);
    }
    // The first line names the address: "listening 127.0.0.1:PORT".
    std::string line;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
      line += c;
    ::close(fds[0]);
    const std::string prefix = "listening ";
    if (line.rfind(prefix, 0) != 0) throw std::runtime_error("the stand-in did not start");
    host_ = line.substr(prefix.size());
  }
  ~Standin() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  const std::string& Host() const { return host_; }

 private:
  pid_t pid_ = -1;
  std::string host_;
};

// The main window's side of the workers: counts lines and ends. Their synchronized calls are
// served by the program's own application loop, as in the program.
class WorkerHost final : public TileWorkerHost {
 public:
  void AddLogLine(const std::string& line) override {
    ++logLines;
    if (line.find(" OK") == std::string::npos && line.find(" Finished.") == std::string::npos)
      std::fprintf(stderr, "%s\n", line.c_str());
  }
  void AddFailedLine(const std::string&) override { ++failedLines; }
  void WorkerDone() override { --runningThreads; }

  int runningThreads = 0;
  int logLines = 0;
  int failedLines = 0;
};

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double PeakRssMib() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

int Run() {
  namespace fs = std::filesystem;
  Standin standin;

  // A program folder of the benchmark's own: the configuration pointing at the service and
  // the substitute image.
  const fs::path root =
      fs::temp_directory_path() / ("korvane-engine-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "ini");
  fs::create_directories(root / "blankimg");
  fs::create_directories(root / "save");
  fs::copy_file(fs::path(KORVANE_PROGRAM_DIR) / "blankimg" / "blank.jpg",
                root / "blankimg" / "blank.jpg");
  std::string config = "[Service]\r\n";
  for (int server = 0; server < 4; ++server)
    config += "Server" + std::to_string(server) + "=" + standin.Host() + "\r\n";
  config += "HomePage=http://" + standin.Host() + "/\r\n";
  WriteFileBytes((root / "ini" / "config.ini").string(), config);
  SetProgramFolder(root.string());

  TaskParameters params;
  params.Latitude = 48.8566;
  params.Longitude = 2.3522;
  params.PanoId = "AbCdEfGhIjKlMnOpQrStUv";
  params.Zoom = Zoom;
  params.ThreadCount = Workers;
  params.SavePath = (root / "save").string() + "/";
  params.TaskFileName = "bench.krvn";
  DownloadTask task(&params);

  // Fill the service's tile cache.
  {
    HttpClient client;
    SetBrowserHeaders(client);
    std::string body;
    for (int x = task.Grid().MinX; x <= task.Grid().MaxX; ++x) {
      for (int y = task.Grid().MinY; y <= task.Grid().MaxY; ++y) {
        body.clear();
        client.Get(task.GetTileUrl(x, y), body);
      }
    }
  }

  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  WorkerHost host;
  std::vector<std::unique_ptr<TileWorker>> threads;
  const double cpuBefore = CpuSeconds();
  const auto start = SteadyClock::now();
  for (int index = 0; index < Workers; ++index) {
    ++host.runningThreads;
    threads.push_back(std::make_unique<TileWorker>(false, index, &task, host, app));
  }
  // Every worker line wakes the loop, so the bound is looked at often enough.
  const auto deadline = start + RunBound;
  app.ProcessMessagesUntil(
      [&] { return host.runningThreads == 0 || SteadyClock::now() > deadline; });
  if (host.runningThreads != 0) {
    std::fprintf(stderr, "the workers did not end within %lld s\n",
                 static_cast<long long>(RunBound.count()));
    std::_Exit(1);
  }
  const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
  threads.clear();
  const double cpu = CpuSeconds() - cpuBefore;

  int good = 0;
  for (int x = task.Grid().MinX; x <= task.Grid().MaxX; ++x) {
    for (int y = task.Grid().MinY; y <= task.Grid().MaxY; ++y)
      good += JpegFileDecodes(task.GetTileFilePath(x, y)) ? 1 : 0;
  }
  SetProgramFolder("");
  fs::remove_all(root);

  std::printf("tiles %d of %d stored, %d failed lines, wall %.2f s, cpu %.3f s\n", good,
              task.Grid().TotalCount(), host.failedLines, wall, cpu);
  if (good != task.Grid().TotalCount() || host.failedLines != 0) {
    std::fprintf(stderr, "the run did not store every tile\n");
    return 1;
  }
  std::printf("RESULT schedule_ratio %.4f\n", wall / ScheduleSeconds);
  std::printf("RESULT cpu_ms_per_tile %.3f\n", cpu * 1000.0 / task.Grid().TotalCount());
  std::printf("RESULT peak_rss_mib %.1f\n", PeakRssMib());
  return 0;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "engine_bench: %s\n", error.what());
    return 1;
  }
}
