// korvane-cli with its tiles going through a real proxy (tinyproxy) to the stand-in service.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "platform/FileSystem.h"
#include "support/InProcessCli.h"
#include "support/TextContains.h"
#include "support/TinyproxyFixture.h"

namespace korvane::test {
namespace {

int CountTiles(const std::string& folder) {
  int tiles = 0;
  if (!std::filesystem::exists(folder)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    tiles += entry.path().extension() == ".jpg" ? 1 : 0;
  return tiles;
}

class KorvaneCliThroughProxy : public InProcessCli<> {
 protected:
  explicit KorvaneCliThroughProxy(const std::string& plan = "")
      : InProcessCli(plan), proxy({standin.Port()}) {}

  int RunTask(const std::string& name, const std::string& zoom) {
    return RunCli({"--task", name, "--lat", "48.8566", "--lon", "2.3522", "--zoom", zoom, "--path",
                   save.Path()});
  }

  TinyproxyFixture proxy;
};

TEST_F(KorvaneCliThroughProxy, ClassicTaskTilesGoThroughTheProxyWithAbsoluteTargets) {
  program.WriteConfig(standin.ServiceConfig() + proxy.ProxyConfig());
  EXPECT_EQ(RunTask("proxied", "1"), 0);
  EXPECT_EQ(CountTiles(save.Path() + "proxied"), 2) << out.str();
  EXPECT_FALSE(Contains(out.str(), "Error")) << out.str();
  // The header printed says a password is in use, never which.
  EXPECT_TRUE(Contains(out.str(), "ProxyPassword:********\n")) << out.str();
  EXPECT_FALSE(Contains(out.str(), proxy.Password())) << out.str();
  // The proxy saw absolute targets for the lookup and the tiles.
  EXPECT_TRUE(Contains(proxy.Log(), "GET http://" + standin.Host() + "/cbk?output=xml&ll="))
      << proxy.Log();
  EXPECT_TRUE(Contains(proxy.Log(), "GET http://" + standin.Host() + "/cbk?output=tile&panoid="))
      << proxy.Log();
}

TEST_F(KorvaneCliThroughProxy, CurrentTaskLooksUpThroughTheProxyToo) {
  program.WriteConfig(standin.CurrentServiceConfig() + proxy.ProxyConfig());
  EXPECT_EQ(RunTask("current", "1"), 0) << out.str();
  // Every request the service served came through the proxy: none from the user's address.
  const std::vector<StandinRequest> requests = standin.Requests();
  ASSERT_FALSE(requests.empty());
  for (const StandinRequest& request : requests)
    EXPECT_TRUE(Contains(proxy.Log(), request.Target)) << request.Target << "\n" << proxy.Log();
}

TEST_F(KorvaneCliThroughProxy, WrongPasswordStopsTheLookupWithTheProxysStatus) {
  program.WriteConfig(standin.ServiceConfig() + proxy.ProxyConfig("wrong"));
  // The lookup is refused as the tiles would be, so the task does not start.
  EXPECT_EQ(RunTask("refused", "1"), ExitCode(ExitStatus::Error));
  // tinyproxy's refusal of wrong credentials.
  EXPECT_TRUE(Contains(out.str(), "401 Unauthorized")) << out.str();
  // Nothing reached the service.
  EXPECT_TRUE(standin.Requests().empty());
}

class KorvaneCliProxyStops : public KorvaneCliThroughProxy {
 protected:
  KorvaneCliProxyStops() : KorvaneCliThroughProxy("tile every delay 100\n") {}
};

TEST_F(KorvaneCliProxyStops, ProxyStoppedMidTaskEndsTheTaskWithFailureLines) {
  program.WriteConfig(standin.ServiceConfig() + proxy.ProxyConfig());
  const auto start = std::chrono::steady_clock::now();
  std::future<int> run = std::async(std::launch::async, [this] { return RunTask("cut", "3"); });
  // Some tiles through, then the proxy goes.
  ASSERT_TRUE(standin.WaitForRequests(6, std::chrono::seconds(30)));
  proxy.Stop();
  ASSERT_EQ(run.wait_for(std::chrono::seconds(120)), std::future_status::ready)
      << "the task did not end";
  EXPECT_EQ(run.get(), ExitCode(ExitStatus::Incomplete)) << "the tiles after the stop failed";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
  const std::string printed = out.str();
  EXPECT_TRUE(Contains(printed, "Socket Error # 10061")) << printed;
  EXPECT_TRUE(Contains(printed, "T1 Finished.")) << printed;
  EXPECT_LT(CountTiles(save.Path() + "cut"), 28 * 2);
}

}  // namespace
}  // namespace korvane::test
