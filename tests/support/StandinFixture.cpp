#include "support/StandinFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "support/ChildProcess.h"

namespace korvane::test {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

std::string Base64Decode(const std::string& text) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string bytes;
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    const int v = value(c);
    if (v < 0) continue;  // padding
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return bytes;
}

// Reads one log line: a flat JSON object of strings and integers, as the service writes it.
StandinRequest ParseLogLine(const std::string& line) {
  StandinRequest request;
  std::size_t pos = 0;
  auto expect = [&](char c) {
    while (pos < line.size() && line[pos] == ' ')
      ++pos;
    if (pos >= line.size() || line[pos] != c) {
      throw std::runtime_error("malformed stand-in log line: " + line);
    }
    ++pos;
  };
  auto readString = [&]() {
    expect('"');
    std::string text;
    while (pos < line.size() && line[pos] != '"') {
      if (line[pos] == '\\' && pos + 1 < line.size()) {
        ++pos;
        if (line[pos] == 'u' && pos + 4 < line.size()) {
          text += static_cast<char>(std::stoi(line.substr(pos + 1, 4), nullptr, 16));
          pos += 4;
        } else {
          text += line[pos];
        }
      } else {
        text += line[pos];
      }
      ++pos;
    }
    expect('"');
    return text;
  };
  expect('{');
  while (true) {
    const std::string key = readString();
    expect(':');
    if (line[pos] == '"') {
      const std::string value = readString();
      if (key == "action") request.Action = value;
      if (key == "target") request.Target = value;
      if (key == "request") request.Bytes = Base64Decode(value);
    } else {
      const std::size_t end = line.find_first_of(",}", pos);
      const int value = std::stoi(line.substr(pos, end - pos));
      pos = end;
      if (key == "listener") request.Listener = value;
      if (key == "attempt") request.Attempt = value;
      if (key == "status") request.Status = value;
    }
    if (pos < line.size() && line[pos] == ',') {
      ++pos;
      continue;
    }
    expect('}');
    return request;
  }
}

}  // namespace

StandinFixture::StandinFixture(const std::string& plan, int listenerCount,
                               const std::vector<std::string>& extraArgs)
    : logPath_(folder_.Path() + "requests.log") {
  const std::string program = std::string(KORVANE_PROGRAM_DIR) + "/korvane-standin";
  if (!FileExists(program)) {
    throw std::runtime_error(program +
                             " is missing: the test target needs add_dependencies(<test> "
                             "korvane-standin)");
  }
  const std::string planPath = folder_.Path() + "plan.txt";
  WriteFileBytes(planPath, plan);
  std::vector<std::string> args = {program, "--plan", planPath, "--log", logPath_};
  for (int i = 0; i < listenerCount; ++i) {
    args.push_back("--listen");
    args.push_back("127.0.0.1:0");
  }
  for (const std::string& arg : extraArgs)
    args.push_back(arg);
  pid_ = SpawnChild(args, &stdout_);

  // The first line names the bound addresses: "listening 127.0.0.1:P1 127.0.0.1:P2 ..."
  std::string line;
  const auto deadline = Clock::now() + StartTimeout;
  while (line.find('\n') == std::string::npos) {
    pollfd readable = {stdout_, POLLIN, 0};
    if (::poll(&readable, 1, MillisecondsLeft(deadline)) <= 0) break;
    char chunk[256];
    const ssize_t got = ::read(stdout_, chunk, sizeof chunk);
    if (got <= 0) break;
    line.append(chunk, static_cast<std::size_t>(got));
  }
  const std::string prefix = "listening ";
  if (line.compare(0, prefix.size(), prefix) == 0 && line.find('\n') != std::string::npos) {
    std::size_t pos = prefix.size();
    while (pos < line.size() && line[pos] != '\n') {
      const std::size_t colon = line.find(':', pos);
      const std::size_t end = line.find_first_of(" \n", colon);
      ports_.push_back(std::stoi(line.substr(colon + 1, end - colon - 1)));
      pos = line[end] == ' ' ? end + 1 : end;
    }
  }
  if (static_cast<int>(ports_.size()) != listenerCount) {
    const int status = Stop();
    throw std::runtime_error("korvane-standin did not start (exit status " +
                             std::to_string(status) + "); its reason is on stderr");
  }
}

StandinFixture::~StandinFixture() {
  Stop();
}

int StandinFixture::Stop() {
  if (pid_ > 0) {
    exitStatus_ = StopChild(pid_, StopTimeout);
    pid_ = -1;
  }
  if (stdout_ >= 0) {
    ::close(stdout_);
    stdout_ = -1;
  }
  return exitStatus_;
}

int StandinFixture::Port(int listener) const {
  return ports_.at(static_cast<std::size_t>(listener));
}

std::string StandinFixture::Host(int listener) const {
  return "127.0.0.1:" + std::to_string(Port(listener));
}

std::string StandinFixture::ServiceConfig() const {
  std::string config = "[Service]\r\n";
  for (int server = 0; server < 4; ++server) {
    config += "Server" + std::to_string(server) + "=" + Host(server % ListenerCount()) + "\r\n";
  }
  return config + "HomePage=http://" + Host(0) + "/\r\nProtocol=classic\r\n";
}

std::string StandinFixture::CurrentServiceConfig() const {
  std::string config = "[Service]\r\nProtocol=current\r\n";
  config += "LookupBase=http://" + Host(0) + "\r\n";
  config += "TileBase=http://" + Host(ListenerCount() > 1 ? 1 : 0) + "\r\n";
  return config + "HomePage=http://" + Host(0) + "/\r\n";
}

std::vector<StandinRequest> StandinFixture::Requests() const {
  std::vector<StandinRequest> requests;
  if (!FileExists(logPath_)) return requests;
  const std::string log = ReadFileBytes(logPath_);
  std::size_t start = 0;
  while (true) {
    const std::size_t end = log.find('\n', start);
    if (end == std::string::npos) break;  // a line still being written
    requests.push_back(ParseLogLine(log.substr(start, end - start)));
    start = end + 1;
  }
  return requests;
}

int StandinFixture::CountRequests(const std::string& targetOrUrl) const {
  std::string target = targetOrUrl;
  if (target.rfind("http://", 0) == 0) {
    const std::size_t path = target.find('/', 7);
    target = path == std::string::npos ? "/" : target.substr(path);
  }
  int count = 0;
  for (const StandinRequest& request : Requests())
    count += request.Target == target ? 1 : 0;
  return count;
}

bool StandinFixture::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  const int watch = ::inotify_init1(IN_CLOEXEC);
  if (watch >= 0) ::inotify_add_watch(watch, logPath_.c_str(), IN_MODIFY);
  bool reached = false;
  while (!(reached = Requests().size() >= count) && Clock::now() < deadline) {
    pollfd changed = {watch, POLLIN, 0};
    if (watch < 0) {
      ::poll(nullptr, 0, 10);  // no inotify: look again shortly
    } else if (::poll(&changed, 1, MillisecondsLeft(deadline)) > 0) {
      char events[4096];
      [[maybe_unused]] const ssize_t ignored = ::read(watch, events, sizeof events);
    }
  }
  if (watch >= 0) ::close(watch);
  return reached;
}

}  // namespace korvane::test
