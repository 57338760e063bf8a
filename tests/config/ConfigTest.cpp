#include <gtest/gtest.h>

#include <cstdlib>

#include "config/Config.h"
#include "net/ServiceAddresses.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(Config, FirstRunDefaultsDifferByOneLetter) {
  test::TempProgramFolder program;
  EXPECT_EQ(ReadMainWindowDefaultPath(), HomeFolder() + "/download");
  EXPECT_EQ(ReadOptionsDefaultPath(), HomeFolder() + "/downloads");
  ProxySettings proxy = ReadProxySettings();
  EXPECT_FALSE(proxy.UseProxy);
  EXPECT_EQ(proxy.ProxyServer, "");
  program.WriteConfig("[IniParas]\r\nDefaultPath=/data/pano\r\n");
  EXPECT_EQ(ReadMainWindowDefaultPath(), "/data/pano");
  EXPECT_EQ(ReadOptionsDefaultPath(), "/data/pano");
}

TEST(Config, TheEnvironmentsKeyWinsOverTheConfiguredOne) {
  test::TempProgramFolder program;
  unsetenv(ApiKeyVariable);
  EXPECT_EQ(ReadApiKey(), "");
  program.WriteConfig("[Service]\r\nApiKey= from-config \r\n");
  EXPECT_EQ(ReadApiKey(), "from-config");
  ASSERT_EQ(setenv(ApiKeyVariable, "from-environment", 1), 0);
  EXPECT_EQ(ReadApiKey(), "from-environment");
  ASSERT_EQ(setenv(ApiKeyVariable, "", 1), 0);
  EXPECT_EQ(ReadApiKey(), "from-config");
  unsetenv(ApiKeyVariable);
}

TEST(Config, ProxyIsOnOnlyForExactlyOne) {
  test::TempProgramFolder program;
  for (const auto& [stored, on] : std::vector<std::pair<std::string, bool>>{
           {"1", true}, {"0x1", true}, {"2", false}, {"yes", false}, {"", false}}) {
    program.WriteConfig("[Proxy]\nUseProxy=" + stored + "\nProxyServer=p\nProxyPort=80x\n");
    ProxySettings proxy = ReadProxySettings();
    EXPECT_EQ(proxy.UseProxy, on) << stored;
    EXPECT_EQ(proxy.ProxyPort, "80x");
  }
}

TEST(Config, ConnectionsDefaultToEightAndStayWithinOneToSixtyFour) {
  test::TempProgramFolder program;
  EXPECT_EQ(ReadConnections(), 8);
  for (const auto& [stored, read] : std::vector<std::pair<std::string, int>>{{"16", 16},
                                                                             {"1", 1},
                                                                             {"64", 64},
                                                                             {"65", 64},
                                                                             {"1000", 64},
                                                                             {"0", 1},
                                                                             {"-4", 1},
                                                                             {"many", 8},
                                                                             {"", 8}}) {
    program.WriteConfig("[Download]\r\nConnections=" + stored + "\r\n");
    EXPECT_EQ(ReadConnections(), read) << stored;
  }
}

TEST(Config, ReadsAreNeverCached) {
  test::TempProgramFolder program;
  program.WriteConfig("[Proxy]\nProxyServer=first\n");
  EXPECT_EQ(ReadProxySettings().ProxyServer, "first");
  program.WriteConfig("[Proxy]\nProxyServer=second\n");
  EXPECT_EQ(ReadProxySettings().ProxyServer, "second");
}

TEST(ServiceAddresses, ServersAndHomePageComeFromTheServiceSection) {
  test::TempProgramFolder program;
  EXPECT_EQ(StreetViewHost(3), "cbk3.google.com");
  EXPECT_EQ(MapHomePageUrl(), "http://maps.google.com/");
  program.WriteConfig("[Service]\nServer0=127.0.0.11\nHomePage=http://127.0.0.1:9/\n");
  EXPECT_EQ(MetadataUrl(48.5, -2.25), "http://127.0.0.11/cbk?output=xml&ll=48.5,-2.25");
  EXPECT_EQ(MapHomePageUrl(), "http://127.0.0.1:9/");
  program.WriteConfig("[Service]\nServer0=127.0.0.1:8123\n");
  EXPECT_EQ(MetadataUrl(1e-6, 0), "http://127.0.0.1:8123/cbk?output=xml&ll=1E-6,0");
  // Under a comma locale the address still uses points: "48,5,2,25" could not be read back.
  SetDecimalSeparator(',');
  EXPECT_EQ(MetadataUrl(48.5, 2.25), "http://127.0.0.1:8123/cbk?output=xml&ll=48.5,2.25");
  SetDecimalSeparator('\0');
}

}  // namespace
}  // namespace korvane
