#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "session/StartRules.h"
#include "session/StartSteps.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

// Keeps the messages a step shows and the lines it logs; the steps use nothing else.
class MessageHost : public SessionHost {
 public:
  std::vector<std::string> messages;

  void LogReplaced(const TStringList&) override {}
  void LogLineAdded(const std::string&) override {}
  void FailedListReplaced(const TStringList&) override {}
  void FailedLineAdded(const std::string&) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void TaskStarted(int) override {}
  void TaskEnded(const std::exception*) override {}
  void ServeUntil(const std::function<bool()>&) override {}
  bool Quitting() const override { return false; }
};

StartRequest Typed(const std::string& latitude, const std::string& zoom,
                   const std::string& protocol) {
  return StartRequest{"t", latitude, "2,25", zoom, "/p/", ServiceRoute{protocol, {}}};
}

TEST(StartSteps, TheProtocolIsCheckedAfterTheTypedInputs) {
  const struct {
    StartRequest request;
    std::string shown;
  } refused[] = {
      {Typed("48", "7", "cbk"), ZoomRangeMessage},
      {Typed("85.1", "3", "cbk"), LatitudeRangeMessage},
      {Typed("48", "3", "cbk"), "Unknown service protocol \"cbk\" in config.ini."},
      {Typed("48", "3", ""), "Unknown service protocol \"\" in config.ini."},
  };
  for (const auto& [request, shown] : refused) {
    MessageHost host;
    EXPECT_FALSE(CheckStartInput(request, host));
    EXPECT_EQ(host.messages, std::vector<std::string>{shown});
  }
}

TEST(StartSteps, CheckedInputIsConvertedAndNamesItsProtocol) {
  MessageHost host;
  const auto checked = CheckStartInput(Typed("-33,5", "4", "CLASSIC"), host);
  ASSERT_TRUE(checked);
  EXPECT_EQ(checked->Zoom, 4);
  EXPECT_EQ(checked->Latitude, -33.5);
  EXPECT_EQ(checked->Longitude, 2.25);
  EXPECT_EQ(checked->Protocol, PanoramaProtocol::Classic);
  EXPECT_TRUE(host.messages.empty());
}

TEST(StartSteps, TheParametersCarryTheRequestsProxy) {
  TempFolder save;
  StartRequest request = Typed("48", "2", "current");
  request.SavePath = save.Path() + "new";  // made by the step
  request.Service.Proxy = {true, "proxy.example", "8080x", "user", "secret"};
  StartLookupResult found;
  found.PanoId = "abc";
  MessageHost host;
  const auto params =
      BuildTaskParameters(request, {2, 2.25, 48, PanoramaProtocol::Classic}, found, host);
  ASSERT_TRUE(params);
  EXPECT_TRUE(DirectoryExists(save.Path() + "new"));
  EXPECT_EQ(params->SavePath, save.Path() + "new/");
  EXPECT_EQ(params->TaskFileName, "t.krvn");
  EXPECT_EQ(params->PanoId, "abc");
  EXPECT_TRUE(params->UseProxy);
  EXPECT_EQ(params->ProxyServer, "proxy.example");
  EXPECT_EQ(params->ProxyPort, "8080x");
  EXPECT_EQ(params->ProxyUsername, "user");
  EXPECT_EQ(params->ProxyPassword, "secret");
  EXPECT_FALSE(params->ContinueTask);
}

TEST(StartSteps, ATaskThatCannotBeCreatedLogsItsReasonAfterTheMessage) {
  TempFolder save;
  TaskParameters params;
  params.SavePath = save.Path();
  params.TaskFileName = "t.krvn";
  params.Protocol = PanoramaProtocol::Current;  // with no picture size: no grid
  MessageHost host;
  const auto log = [&](const std::string& line) { host.messages.push_back("log: " + line); };
  EXPECT_EQ(CreateTask(params, host, log), nullptr);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"Error: Create task failure.",
                                      "log: No tile grid for the panorama's size."}));

  // A tile folder that cannot be made names itself in a box of its own, before the failure.
  host.messages.clear();
  params.Protocol = PanoramaProtocol::Classic;
  params.Zoom = 1;
  WriteFileBytes(save.Path() + "t", "a file where the tile folder should be");
  EXPECT_EQ(CreateTask(params, host, log), nullptr);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"Create directory " + save.Path() + "t/ Failed.",
                                      "Error: Create task failure."}));

  DeleteFile(save.Path() + "t");
  host.messages.clear();
  EXPECT_NE(CreateTask(params, host, log), nullptr);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace korvane::test
