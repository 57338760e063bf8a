// Tiles served per second by korvane-standin on loopback, with 8 parallel clients. The service
// runs pinned to one core (when the machine has more than one, the clients get the others).
// Measured side by side in one run: cold tiles (each painted and encoded on its first request),
// cached tiles over keep-alive connections, and cached tiles with a new connection per request
// (what the program's client does for direct requests). Ends with
//   RESULT standin_tiles_per_s <cached tiles per second over keep-alive connections>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Clients = 8;
constexpr int RequestsPerClient = 2000;
constexpr int Zoom = 4;  // 13 x 7 tiles
constexpr int Columns = 13;
constexpr int Rows = 7;
constexpr int ReceiveTimeoutMs = 30'000;

using SteadyClock = std::chrono::steady_clock;

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect");
  }
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

// One GET on the connection; returns the body. Throws when the reply is not a 200.
std::string Get(int fd, const std::string& target) {
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    throw std::runtime_error("send failed");
  }
  std::string buffer;
  std::size_t headEnd = std::string::npos;
  std::size_t length = 0;
  char chunk[65536];
  while (true) {
    if (headEnd == std::string::npos) {
      headEnd = buffer.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        if (buffer.compare(0, 12, "HTTP/1.1 200") != 0) throw std::runtime_error("not a 200");
        const std::size_t at = buffer.find("Content-Length: ");
        length = std::strtoul(buffer.c_str() + at + 16, nullptr, 10);
      }
    }
    if (headEnd != std::string::npos && buffer.size() >= headEnd + 4 + length) break;
    pollfd readable = {fd, POLLIN, 0};
    if (::poll(&readable, 1, ReceiveTimeoutMs) <= 0) throw std::runtime_error("no reply");
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0) throw std::runtime_error("connection ended");
    buffer.append(chunk, static_cast<std::size_t>(got));
  }
  return buffer.substr(headEnd + 4, length);
}

std::string TileTarget(const std::string& panoId, int index) {
  const int x = index % Columns;
  const int y = (index / Columns) % Rows;
  return "/cbk?output=tile&panoid=" + panoId + "&x=" + std::to_string(x) +
         "&y=" + std::to_string(y) + "&zoom=" + std::to_string(Zoom);
}

// Runs `Clients` threads, each making `requests` requests; returns tiles per second.
double Measure(int port, const std::string& panoId, int requests, bool keepAlive,
               bool spreadTiles) {
  std::atomic<bool> failed{false};
  std::vector<std::thread> threads;
  const auto start = SteadyClock::now();
  for (int client = 0; client < Clients; ++client) {
    threads.emplace_back([&, client] {
      try {
        int fd = keepAlive ? Connect(port) : -1;
        for (int i = 0; i < requests; ++i) {
          if (!keepAlive) fd = Connect(port);
          // Spread: client c takes tiles c, c + 8, ...; otherwise every client walks all tiles.
          const int index = spreadTiles ? client + i * Clients : client * 11 + i;
          Get(fd, TileTarget(panoId, index));
          if (!keepAlive) ::close(fd);
        }
        if (keepAlive) ::close(fd);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "client %d: %s\n", client, error.what());
        failed = true;
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  if (failed) throw std::runtime_error("a client failed");
  return Clients * requests / seconds;
}

struct Service {
  pid_t Pid = -1;
  int Port = 0;
};

Service Start(bool pin) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  const std::string program = std::string(KORVANE_PROGRAM_DIR) + "/korvane-standin";
  Service service;
  service.Pid = ::fork();
  if (service.Pid == 0) {
    if (pin) {
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(0, &one);
      ::sched_setaffinity(0, sizeof one, &one);
    }
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::execl(program.c_str(), program.c_str(), "--listen", "127.0.0.1:0",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  std::string line;
  char c;
  while (::read(pipeFds[0], &c, 1) == 1 && c != '\n')
    line += c;
  ::close(pipeFds[0]);
  const std::size_t colon = line.rfind(':');
  if (line.rfind("listening ", 0) != 0 || colon == std::string::npos) {
    throw std::runtime_error("korvane-standin did not start");
  }
  service.Port = std::atoi(line.c_str() + colon + 1);
  return service;
}

}  // namespace

int main() {
  const unsigned cores = std::thread::hardware_concurrency();
  const bool pin = cores > 1;
  if (pin) {
    // The clients keep off the service's core.
    cpu_set_t others;
    CPU_ZERO(&others);
    for (unsigned core = 1; core < cores; ++core)
      CPU_SET(core, &others);
    ::sched_setaffinity(0, sizeof others, &others);
  }
  Service service;
  try {
    service = Start(pin);
    const int fd = Connect(service.Port);
    const std::string xml = Get(fd, "/cbk?output=xml&ll=48.8584,2.2945");
    ::close(fd);
    const std::size_t at = xml.find("pano_id=\"");
    const std::string panoId = xml.substr(at + 9, 22);

    const int tiles = Columns * Rows;
    const double cold = Measure(service.Port, panoId, (tiles + Clients - 1) / Clients, true, true);
    const double keepAlive = Measure(service.Port, panoId, RequestsPerClient, true, false);
    const double fresh = Measure(service.Port, panoId, RequestsPerClient / 4, false, false);
    std::printf("service on %s, %d clients, zoom %d tiles\n",
                pin ? "core 0 alone" : "the only core", Clients, Zoom);
    std::printf("cold tiles (painted and encoded) per s:        %10.0f\n", cold);
    std::printf("cached tiles per s, keep-alive connections:    %10.0f\n", keepAlive);
    std::printf("cached tiles per s, new connection per request:%10.0f\n", fresh);
    std::printf("ratio cached/cold: %.1f  keep-alive/new connection: %.2f\n", keepAlive / cold,
                keepAlive / fresh);
    std::printf("RESULT standin_tiles_per_s_new_connection %.0f\n", fresh);
    std::printf("RESULT standin_tiles_per_s %.0f\n", keepAlive);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "standin_bench: %s\n", error.what());
    if (service.Pid > 0) ::kill(service.Pid, SIGKILL);
    return 1;
  }
  ::kill(service.Pid, SIGTERM);
  int status = 0;
  ::waitpid(service.Pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
