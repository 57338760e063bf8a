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
  EXPECT_EQ(ParseCliOptions({"--task", "a", "--views", "4"})->ViewCount, 4);
  EXPECT_EQ(ParseCliOptions({"--batch", "l.csv", "--stitch", "--views", "36"})->ViewCount, 36);
  for (const char* bad : {"0", "37", "x", "4.5"})
    EXPECT_FALSE(ParseCliOptions({"--task", "a", "--views", bad})) << bad;
  EXPECT_FALSE(ParseCliOptions({"--task", "a", "--views"}));
  EXPECT_FALSE(ParseCliOptions({"--views", "2", "--views", "3"}));
  EXPECT_FALSE(ParseCliOptions({"--retry", "list.ftl", "--views", "4"}));
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

TEST(CliOptions, PanoDateInfoAndJson) {
  const auto options =
      ParseCliOptions({"--pano", "AbC-d_9", "--date", "2015-03", "--info", "--json"});
  ASSERT_TRUE(options);
  EXPECT_EQ(PanoIdOption(*options), "AbC-d_9");
  EXPECT_EQ(DateOption(*options), (CaptureMonth{2015, 3}));
  EXPECT_TRUE(options->Info);
  EXPECT_TRUE(options->Json);
  EXPECT_EQ(PanoIdOption(*ParseCliOptions({})), "");
  EXPECT_FALSE(DateOption(*ParseCliOptions({})));

  const std::vector<std::vector<std::string>> refused = {
      {"--pano", "a/b"},
      {"--pano", ""},
      {"--pano", "a b"},
      {"--date", "2015-13"},
      {"--date", "2015"},
      {"--json"},
      {"--info", "--stitch"},
      {"--info", "--retry", "x.ftl"},
      {"--info", "--batch", "x.csv"},
      {"--batch", "x.csv", "--pano", "abc"},
      {"--batch", "x.csv", "--date", "2015-03"},
      {"--retry", "x.ftl", "--pano", "abc"},
  };
  for (const auto& arguments : refused) {
    EXPECT_FALSE(ParseCliOptions(arguments)) << arguments.front() << " " << arguments.back();
  }
  for (const char* shown : {"[--pano ID]", "[--date YYYY-MM]", "--info [--json]"})
    EXPECT_NE(CliUsage().find(shown), std::string::npos) << shown;
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

namespace korvane {
namespace {

TEST(CliOptions, TakesTheOptionsThatFindPanoramas) {
  const CliOptions around = *ParseCliOptions({"--around", "47.37,8.54", "--radius", "150", "--max",
                                              "20", "--all-dates", "--plan-only", "--shard", "2/3",
                                              "--map", "town.PNG", "--stitch", "--zoom", "3"});
  const DiscoveryRequest request = DiscoveryRequestOf(around, "/d");
  EXPECT_EQ(request.Walk, DiscoveryRequest::Kind::Around);
  EXPECT_EQ(request.Centre, (GeoPoint{47.37, 8.54}));
  EXPECT_EQ(request.RadiusMetres, 150);
  EXPECT_EQ(request.MaxCount, 20u);
  EXPECT_TRUE(request.AllDates && request.PlanOnly);
  EXPECT_EQ(request.Shard->Index, 2);
  EXPECT_EQ(*request.MapPath, "town.PNG");
  EXPECT_EQ(request.Name, "around_47.37_8.54");
  EXPECT_EQ(request.Folder, "/d");

  const DiscoveryRequest area =
      DiscoveryRequestOf(*ParseCliOptions({"--area", "/x/old town.geojson"}), "/d");
  EXPECT_EQ(area.Walk, DiscoveryRequest::Kind::Area);
  EXPECT_EQ(area.Name, "old town");
  EXPECT_EQ(area.SpacingMetres, 50) << "the default spacing";
  const DiscoveryRequest route = DiscoveryRequestOf(
      *ParseCliOptions({"--route", "r.gpx", "--every", "25", "--task", "ride"}), "/d");
  EXPECT_EQ(route.StepMetres, 25);
  EXPECT_EQ(route.Name, "ride");
  EXPECT_EQ(DiscoveryRequestOf(*ParseCliOptions({"--route", "r.gpx"}), "").StepMetres, 10);
}

TEST(CliOptions, RefusesBadValuesOfTheOptionsThatFindPanoramasWithTheReason) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--around", "47.37,8.54"}, "--around needs --radius"},
      {{"--around", "91,8", "--radius", "10"}, "--around needs LAT,LON"},
      {{"--around", "47.37", "--radius", "10"}, "--around needs LAT,LON"},
      {{"--around", "1,2", "--radius", "0"}, "--radius needs metres above 0"},
      {{"--around", "1,2", "--radius", "5001"}, "--radius needs metres"},
      {{"--around", "1,2", "--radius", "ten"}, "--radius needs metres"},
      {{"--around", "1,2", "--radius", "10", "--max", "2.5"}, "--max needs a whole number"},
      {{"--around", "1,2", "--radius", "10", "--max", "0"}, "--max needs a whole number"},
      {{"--area", "a.geojson", "--radius", "10"}, "--radius and --max go with --around"},
      {{"--area", "a.geojson", "--every", "10"}, "--every goes with --route"},
      {{"--route", "r.gpx", "--spacing", "10"}, "--spacing goes with --area"},
      {{"--area", "a.geojson", "--spacing", "1"}, "--spacing needs metres from 5 to 1000"},
      {{"--route", "r.gpx", "--every", "0.5"}, "--every needs metres from 1 to 1000"},
      {{"--route", "r.gpx", "--shard", "4/3"}, "--shard needs K/N"},
      {{"--route", "r.gpx", "--map", "m.svg"}, "--map writes a PNG picture"},
      {{"--route", "r.gpx", "--area", "a.geojson"}, "only one of --around, --area and --route"},
      {{"--route", "r.gpx", "--lat", "1"}, "take no --lat"},
      {{"--route", "r.gpx", "--batch", "b.csv"}, "take no --lat"},
      {{"--plan-only"}, "go with --around, --area or --route"},
      {{"--retry", "l.ftl", "--route", "r.gpx"}, "--retry takes no other option"},
      {{"--every"}, "--every needs a value"},
      {{"--map", "a.png", "--map", "b.png"}, "--map is given twice"},
      {{"--nearby"}, "unknown option --nearby"},
  };
  for (const auto& [arguments, reason] : cases) {
    std::string why;
    EXPECT_FALSE(ParseCliOptions(arguments, &why)) << reason;
    EXPECT_NE(why.find(reason), std::string::npos) << why;
  }
}

}  // namespace
}  // namespace korvane
