#include <gtest/gtest.h>

#include "korvane-cli/CliOptions.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(CliOptions, TakesEachBoxTextExactlyAsGiven) {
  auto options = ParseCliOptions({"--task", "berlin", "--lat", "52,52", "--lon", "", "--zoom", " 3",
                                  "--path", "/tmp/a b", "--open", "x.krvn"});
  ASSERT_TRUE(options);
  EXPECT_EQ(*options->Task, "berlin");
  EXPECT_EQ(*options->Latitude, "52,52");
  EXPECT_EQ(*options->Longitude, "");
  EXPECT_EQ(*options->Zoom, " 3");
  EXPECT_EQ(*options->Path, "/tmp/a b");
  EXPECT_EQ(*options->OpenFile, "x.krvn");
  EXPECT_FALSE(options->RetryFile);
  auto none = ParseCliOptions({});
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->Task);
}

TEST(CliOptions, RefusesWhatIsNotACommandLine) {
  EXPECT_FALSE(ParseCliOptions({"--bogus"}));
  EXPECT_FALSE(ParseCliOptions({"berlin"}));
  EXPECT_FALSE(ParseCliOptions({"--task"}));
  EXPECT_FALSE(ParseCliOptions({"--task", "a", "--task", "b"}));
  EXPECT_FALSE(ParseCliOptions({"--retry", "list.ftl", "--zoom", "3"}));
  EXPECT_TRUE(ParseCliOptions({"--retry", "list.ftl"}));
  EXPECT_TRUE(ParseCliOptions({"--help"})->ShowHelp);
  EXPECT_FALSE(ParseCliOptions({"--retry", "list.ftl", "--stitch"}));
  EXPECT_TRUE(ParseCliOptions({"--task", "a", "--stitch"})->Combine);
  EXPECT_FALSE(ParseCliOptions({"--task", "a"})->Combine);
  EXPECT_TRUE(ParseCliOptions({"--version"})->ShowVersion);
}

TEST(CliOptions, ServiceIsCurrentOrClassicInAnyCase) {
  EXPECT_EQ(*ParseCliOptions({"--service", "classic"})->Service, "classic");
  EXPECT_EQ(*ParseCliOptions({"--service", "Current", "--zoom", "3"})->Service, "Current");
  EXPECT_FALSE(ParseCliOptions({"--service", "cbk"}));
  EXPECT_FALSE(ParseCliOptions({"--service"}));
  EXPECT_FALSE(ParseCliOptions({"--retry", "list.ftl", "--service", "classic"}));
  EXPECT_NE(CliUsage().find("[--service current|classic|maptiles]"), std::string::npos);
}

TEST(CliOptions, ServiceWinsOverTheConfigurationReadAtEachStart) {
  test::TempProgramFolder program;
  const CliOptions plain = *ParseCliOptions({});
  const CliOptions classic = *ParseCliOptions({"--service", "Classic"});
  EXPECT_EQ(RouteForStart(plain).ProtocolName, "current");
  program.WriteConfig("[Service]\r\nProtocol=cbk\r\n[Proxy]\r\nUseProxy=1\r\nProxyServer=p\r\n");
  EXPECT_EQ(RouteForStart(plain).ProtocolName, "cbk") << "checked by the start, as typed";
  const ServiceRoute route = RouteForStart(classic);
  EXPECT_EQ(route.ProtocolName, "Classic");
  EXPECT_TRUE(route.Proxy.UseProxy) << "--service leaves the proxy to the configuration";
  EXPECT_EQ(route.Proxy.ProxyServer, "p");
}

}  // namespace
}  // namespace korvane
