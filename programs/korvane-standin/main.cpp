// korvane-standin: the local stand-in for the Street View service. See README.md.

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "FaultPlan.h"
#include "KorvaneVersion.h"
#include "ListenAddress.h"
#include "RequestLog.h"
#include "StandinServer.h"
#include "StreetNetwork.h"
#include "TlsServerContext.h"
#include "platform/ExitStatus.h"

namespace {

using namespace korvane;
using namespace korvane::standin;

constexpr const char* DefaultListen = "127.0.0.1:0";

constexpr const char* Usage =
    "usage: korvane-standin [--listen ADDR:PORT]... [--plan FILE] [--log FILE]\n"
    "                       [--tls CERT.pem KEY.pem] [--tile-latency MS] [--streets]\n"
    "                       [--api-key KEY[:disabled|:billing]]... [--session-seconds S]\n"
    "                       [--session-requests N] [--quota-per-minute N]\n"
    "       korvane-standin --help | --version\n"
    "  --listen ADDR:PORT  a loopback address to serve on (several allowed; port 0 picks a free\n"
    "                      port); default 127.0.0.1:0\n"
    "  --plan FILE         a fault plan (see README.md)\n"
    "  --log FILE          one JSON line per request\n"
    "  --tls CERT KEY      serve every listener over TLS with this certificate chain and key\n"
    "  --tile-latency MS   wait MS milliseconds before answering any tile request\n"
    "  --streets           answer the current lookups from the town's street network\n"
    "  --api-key KEY       a key the Map Tiles API accepts (:disabled its API not enabled,\n"
    "                      :billing its billing off); several allowed\n"
    "  --session-seconds S      a Map Tiles API session lasts S seconds\n"
    "  --session-requests N     ... and expires after N requests\n"
    "  --quota-per-minute N     the Map Tiles API answers 429 past N requests a minute\n"
    "The first line of stdout names the addresses served: listening ADDR:PORT ...\n";

std::atomic<StandinServer*> TheServer{nullptr};  // for the signal handler

void OnStopSignal(int) {
  StandinServer* server = TheServer.load();
  if (server != nullptr) server->RequestStop();
}

void InstallSignals() {
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

// A whole number of milliseconds; raises EPlanError for anything else.
int ParseLatency(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    throw EPlanError("tile latency \"" + text + "\" is not a number of milliseconds");
  return std::stoi(text);
}

int ParseWholeNumber(const std::string& text, const std::string& what) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    throw EPlanError(what + " \"" + text + "\" is not a whole number");
  return std::stoi(text);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<ListenAddress> addresses;
  std::string planPath;
  std::string logPath;
  std::string certificatePath;
  std::string keyPath;
  std::string tileLatency;
  MapTilesSettings mapTiles;
  bool streets = false;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string option = argv[i];
      if (option == "--help" || option == "-h") {
        std::fputs(Usage, stdout);
        return ExitCode(ExitStatus::Complete);
      }
      if (option == "--tls" && i + 2 < argc) {
        certificatePath = argv[++i];
        keyPath = argv[++i];
        continue;
      }
      if (option == "--streets") {
        streets = true;
        continue;
      }
      if (option == "--version") {
        std::printf("korvane-standin %s\n", ProductVersion);
        return ExitCode(ExitStatus::Complete);
      }
      if (i + 1 < argc && (option == "--api-key" || option == "--session-seconds" ||
                           option == "--session-requests" || option == "--quota-per-minute")) {
        const std::string value = argv[++i];
        if (option == "--api-key") {
          if (!AddApiKey(mapTiles, value)) throw EPlanError("bad --api-key \"" + value + "\"");
        } else if (option == "--session-seconds") {
          mapTiles.SessionSeconds = ParseWholeNumber(value, option);
        } else if (option == "--session-requests") {
          mapTiles.SessionRequests = ParseWholeNumber(value, option);
        } else {
          mapTiles.QuotaPerMinute = ParseWholeNumber(value, option);
        }
        continue;
      }
      if (i + 1 >= argc || (option != "--listen" && option != "--plan" && option != "--log" &&
                            option != "--tile-latency")) {
        std::fprintf(stderr, "korvane-standin: unknown or incomplete option \"%s\"\n%s",
                     option.c_str(), Usage);
        return ExitCode(ExitStatus::BadCommandLine);
      }
      const std::string value = argv[++i];
      if (option == "--listen") {
        addresses.push_back(ParseListenAddress(value));
      } else if (option == "--plan") {
        planPath = value;
      } else if (option == "--tile-latency") {
        tileLatency = value;
      } else {
        logPath = value;
      }
    }
    if (addresses.empty()) addresses.push_back(ParseListenAddress(DefaultListen));
  } catch (const Exception& error) {
    std::fprintf(stderr, "korvane-standin: %s\n", error.what());
    return ExitCode(ExitStatus::BadCommandLine);
  }

  FaultPlan plan;
  try {
    if (!planPath.empty()) plan = FaultPlan::Load(planPath);
  } catch (const Exception& error) {
    std::fprintf(stderr, "korvane-standin: plan %s: %s\n", planPath.c_str(), error.what());
    return ExitCode(ExitStatus::BadCommandLine);
  }
  try {
    if (!tileLatency.empty()) plan.SetTileLatency(ParseLatency(tileLatency));
  } catch (const Exception& error) {
    std::fprintf(stderr, "korvane-standin: --tile-latency: %s\n", error.what());
    return ExitCode(ExitStatus::BadCommandLine);
  }

  std::optional<TlsServerContext> tls;
  try {
    if (!certificatePath.empty()) tls.emplace(certificatePath, keyPath);
  } catch (const Exception& error) {
    std::fprintf(stderr, "korvane-standin: --tls: %s\n", error.what());
    return ExitCode(ExitStatus::BadCommandLine);
  }

  try {
    std::optional<RequestLog> log;
    if (logPath.empty()) {
      log.emplace();
    } else {
      log.emplace(logPath);
    }
    StandinServer server(addresses, std::move(plan), *log, tls ? &*tls : nullptr,
                         std::move(mapTiles), streets ? &StreetNetwork::Town() : nullptr);
    TheServer = &server;
    struct Forget {  // the handler must not reach the server once it is gone
      ~Forget() { TheServer = nullptr; }
    } forget;
    InstallSignals();  // before the ports are announced: whoever reads them may stop us at once
    std::string line = "listening";
    for (const std::string& bound : server.BoundAddresses())
      line += " " + bound;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    server.Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "korvane-standin: %s\n", error.what());
    return ExitCode(ExitStatus::Error);
  }
  return ExitCode(ExitStatus::Complete);
}
