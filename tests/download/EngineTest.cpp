#include "EngineTest.h"

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

std::string EngineTest::DeadServiceConfig() const {
  const std::string host = refusingPort.HostPort();
  std::string config = "[Service]\r\n";
  for (int server = 0; server < 4; ++server)
    config += "Server" + std::to_string(server) + "=" + host + "\r\n";
  return config + "HomePage=http://" + host + "/\r\n";
}

}  // namespace korvane::test
