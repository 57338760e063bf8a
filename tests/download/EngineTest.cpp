#include "EngineTest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "net/BrowserHeaders.h"
#include "net/HttpClient.h"
#include "platform/FileSystem.h"

namespace korvane::test {

void EngineTest::StartTask(const std::string& plan, int zoom, int threadCount) {
  standin = std::make_unique<StandinFixture>(plan);
  StartTaskWithConfig(standin->ServiceConfig(), zoom, threadCount);
}

void EngineTest::StartTaskWithConfig(const std::string& config, int zoom, int threadCount) {
  program.WriteConfig(config);
  params.PanoId = "AbCdEfGhIjKlMnOpQrStUv";
  params.Zoom = zoom;
  params.ThreadCount = threadCount;
  params.SavePath = saveFolder.Path();
  params.TaskFileName = "task.krvn";
  task = std::make_unique<DownloadTask>(&params);
}

std::string EngineTest::BlankImage() const {
  return ReadFileBytes(program.Path() + "blankimg/blank.jpg");
}

std::string EngineTest::ServedTile(int x, int y) const {
  HttpClient client;
  SetBrowserHeaders(client);
  std::string body;
  client.Get(TileUrl(x, y), body);
  return body;
}

std::vector<std::string> EngineTest::TileFolderFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(task->TileFolder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string DeadServiceConfig() {
  // A port the system just handed out and nobody listens on any more: connecting is refused.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  const std::string host = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  std::string config = "[Service]\r\n";
  for (int server = 0; server < 4; ++server)
    config += "Server" + std::to_string(server) + "=" + host + "\r\n";
  return config + "HomePage=http://" + host + "/\r\n";
}

}  // namespace korvane::test
