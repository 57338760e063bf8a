#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "config/Config.h"
#include "dialogs/LayoutCheck.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "settings/OptionsWindow.h"
#include "settings/PickFolder.h"
#include "support/TempFolder.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

class OptionsWindowTest : public ::testing::Test {
 protected:
  TempProgramFolder program;
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  TForm main{app, "mainWindow"};
  OptionsWindow options{app};

  std::string ConfigText() const { return ReadFileBytes(ConfigFilePath()); }

  void TypeEverything(const std::string& suffix) {
    options.defaultPathEdit.UserType("/data/pano" + suffix);
    options.useProxyCheckBox.UserClick();
    options.proxyServerEdit.UserType("proxy" + suffix);
    options.proxyPortEdit.UserType("80x" + suffix);
    options.proxyUsernameEdit.UserType("user" + suffix);
    options.proxyPasswordEdit.UserType("p=w=d" + suffix);
  }
};

TEST_F(OptionsWindowTest, IsADialogWithEveryControlInside) {
  EXPECT_EQ(options.Caption(), "Options");
  EXPECT_EQ(options.ClientWidth(), 360);
  EXPECT_EQ(options.ClientHeight(), 430);
  EXPECT_EQ(options.BorderStyle(), bsDialog);
  EXPECT_EQ(options.Position(), poMainFormCenter);
  EXPECT_EQ(options.DefaultButton(), &options.okButton);
  EXPECT_EQ(options.CancelButton(), nullptr);
  EXPECT_EQ(LayoutFaults(options), "");
  EXPECT_EQ(options.Find<TLabel>("defaultPathLabel").Caption(), "Default path to save :");
  EXPECT_EQ(options.Find<TCheckBox>("useProxyCheckBox").Caption(), "Use proxy server");
}

TEST_F(OptionsWindowTest, FirstRunShowsTheDefaultsAndOkWritesTheSixKeysInOrder) {
  options.ShowModal();
  EXPECT_EQ(options.defaultPathEdit.Text(), HomeFolder() + "/downloads");
  EXPECT_FALSE(options.useProxyCheckBox.Checked());
  for (const char* name :
       {"proxyServerEdit", "proxyPortEdit", "proxyUsernameEdit", "proxyPasswordEdit"}) {
    EXPECT_EQ(options.Find<TEdit>(name).Text(), "") << name;
  }
  EXPECT_FALSE(FileExists(ConfigFilePath()));

  EXPECT_TRUE(options.UserPressEnter());
  EXPECT_FALSE(options.Visible());
  EXPECT_EQ(options.ModalResult(), mrOk);
  const std::string text = ConfigText();
  size_t at = 0;
  for (const std::string& line : std::vector<std::string>{
           "[IniParas]", "DefaultPath=" + HomeFolder() + "/downloads", "[Proxy]", "UseProxy=0",
           "ProxyServer=", "ProxyPort=", "ProxyUsername=", "ProxyPassword="}) {
    size_t found = text.find(line + "\r\n", at);
    ASSERT_NE(found, std::string::npos) << line << " in\n" << text;
    at = found + line.size();
  }
  EXPECT_TRUE(dialogs.Errors().empty());
}

TEST_F(OptionsWindowTest, TheConfigurationIsReadableByItsOwnerOnly) {
  // It holds the proxy password in clear; a file the user made readable is made private again.
  const mode_t previousMask = ::umask(022);
  options.ShowModal();
  TypeEverything("");
  EXPECT_TRUE(options.UserPressEnter());
  EXPECT_EQ(std::filesystem::status(ConfigFilePath()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::permissions(ConfigFilePath(), std::filesystem::perms::group_read,
                               std::filesystem::perm_options::add);
  options.ShowModal();
  EXPECT_TRUE(options.UserPressEnter());
  EXPECT_EQ(std::filesystem::status(ConfigFilePath()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ::umask(previousMask);
}

TEST_F(OptionsWindowTest, OkWritesTheTextsAsTypedAndLeavesOtherSectionsAlone) {
  const std::string before =
      "; kept\r\n[Service]\r\nServer0=127.0.0.1:9\r\n[IniParas]\r\nDefaultPath=/old\r\n"
      "Extra=keep me\r\n[Other]\r\nKey= spaced value \r\n";
  program.WriteConfig(before);
  options.ShowModal();
  EXPECT_EQ(options.defaultPathEdit.Text(), "/old");
  TypeEverything("");
  options.okButton.UserClick();
  EXPECT_FALSE(options.Visible());

  ProxySettings proxy = ReadProxySettings();
  EXPECT_TRUE(proxy.UseProxy);
  EXPECT_EQ(proxy.ProxyServer, "proxy");
  EXPECT_EQ(proxy.ProxyPort, "80x");  // not tested to be a number
  EXPECT_EQ(proxy.ProxyUsername, "user");
  EXPECT_EQ(proxy.ProxyPassword, "p=w=d");  // only the first "=" separates
  EXPECT_EQ(ReadOptionsDefaultPath(), "/data/pano");
  const std::string after = ConfigText();
  for (const char* line : {"; kept\r\n[Service]\r\nServer0=127.0.0.1:9\r\n", "Extra=keep me\r\n",
                           "[Other]\r\nKey= spaced value \r\n", "UseProxy=1\r\n"}) {
    EXPECT_NE(after.find(line), std::string::npos) << line << " in\n" << after;
  }

  options.ShowModal();  // what was written is what comes back
  EXPECT_EQ(options.proxyPasswordEdit.Text(), "p=w=d");
  EXPECT_TRUE(options.useProxyCheckBox.Checked());
}

TEST_F(OptionsWindowTest, CancelWritesNothingAndTheNextShowingForgetsTheEdits) {
  program.WriteConfig("[Proxy]\r\nUseProxy=0x1\r\nProxyServer=stored\r\n");
  const std::string before = ConfigText();
  options.ShowModal();
  EXPECT_TRUE(options.useProxyCheckBox.Checked());
  TypeEverything("-edited");
  dialogs.QueuePick("/picked/folder");
  options.browseFolderButton.UserClick();
  EXPECT_EQ(options.defaultPathEdit.Text(), "/picked/folder");

  EXPECT_FALSE(options.UserPressEscape());  // no cancel key
  EXPECT_TRUE(options.Visible());
  options.cancelButton.UserClick();
  EXPECT_FALSE(options.Visible());
  EXPECT_EQ(options.ModalResult(), mrCancel);
  EXPECT_EQ(ConfigText(), before);

  options.ShowModal();
  EXPECT_EQ(options.defaultPathEdit.Text(), HomeFolder() + "/downloads");
  EXPECT_TRUE(options.useProxyCheckBox.Checked());
  EXPECT_EQ(options.proxyServerEdit.Text(), "stored");
  EXPECT_EQ(options.proxyPasswordEdit.Text(), "");
}

TEST_F(OptionsWindowTest, AWriteFailureShowsTheErrorBoxAndKeepsTheWindowOpen) {
  std::filesystem::remove_all(program.Path() + "ini");
  options.ShowModal();
  options.proxyServerEdit.UserType("proxy");
  options.UserPressEnter();
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Unable to write to " + ConfigFilePath()});
  EXPECT_TRUE(options.Visible());
  EXPECT_TRUE(options.Modal());
  EXPECT_EQ(options.proxyServerEdit.Text(), "proxy");  // the edits are still there to retry

  std::filesystem::create_directory(program.Path() + "ini");
  options.UserPressEnter();
  EXPECT_FALSE(options.Visible());
  EXPECT_EQ(options.ModalResult(), mrOk);
  EXPECT_EQ(ReadProxySettings().ProxyServer, "proxy");
}

TEST_F(OptionsWindowTest, TheFolderButtonAsksForAFolderAndKeepsTheTextOnCancel) {
  options.ShowModal();
  dialogs.QueuePick("/data/tiles/");
  options.browseFolderButton.UserClick();
  EXPECT_EQ(options.defaultPathEdit.Text(), "/data/tiles");
  dialogs.QueueCancel();
  options.browseFolderButton.UserClick();
  EXPECT_EQ(options.defaultPathEdit.Text(), "/data/tiles");

  std::vector<TDialogEvent> events = dialogs.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Kind, TDialogEvent::PickFolder);
  EXPECT_EQ(events[0].Text, "Select path");
  EXPECT_EQ(events[0].StartFolder, "");
  EXPECT_FALSE(FileExists(ConfigFilePath()));  // nothing written before OK
}

TEST(PickFolder, PreselectsOnlyAnExistingFolderAndReturnsPathsWithoutTrailingSlash) {
  TempFolder existing;
  TScriptedDialogs dialogs;
  dialogs.QueuePick("/");
  dialogs.QueuePick(existing.Path());
  dialogs.QueueCancel();
  EXPECT_EQ(PickFolder(dialogs, "Select path to save", existing.Path()), "/");
  EXPECT_EQ(PickFolder(dialogs, "Select path to save", existing.Path() + "gone"),
            existing.Path().substr(0, existing.Path().size() - 1));
  EXPECT_EQ(PickFolder(dialogs, "Select path to save", ""), std::nullopt);

  std::vector<TDialogEvent> events = dialogs.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].StartFolder, existing.Path());
  EXPECT_EQ(events[1].StartFolder, "");
  EXPECT_EQ(events[0].Text, "Select path to save");
}

TEST_F(OptionsWindowTest, ServiceChoiceShowsAndWritesTheProtocol) {
  EXPECT_EQ(options.serviceGroup.Caption(), "Service");
  EXPECT_EQ(options.currentServiceButton.Caption(), "Google Maps, current");
  EXPECT_EQ(options.classicServiceButton.Caption(), "Classic cbk servers");
  options.ShowModal();
  EXPECT_TRUE(options.currentServiceButton.Checked());  // the default
  EXPECT_FALSE(options.classicServiceButton.Checked());

  options.classicServiceButton.UserClick();
  EXPECT_TRUE(options.classicServiceButton.Checked());
  EXPECT_FALSE(options.currentServiceButton.Checked());
  options.classicServiceButton.UserClick();  // a second click keeps the choice
  EXPECT_TRUE(options.classicServiceButton.Checked());
  options.okButton.UserClick();
  EXPECT_NE(ConfigText().find("[Service]\r\nProtocol=classic\r\n"), std::string::npos);

  program.WriteConfig("[Service]\r\nProtocol=CURRENT\r\n");
  options.ShowModal();
  EXPECT_TRUE(options.currentServiceButton.Checked());
  options.cancelButton.UserClick();
  program.WriteConfig("[Service]\r\nProtocol=cbk\r\n");
  options.ShowModal();
  EXPECT_FALSE(options.currentServiceButton.Checked());
  EXPECT_FALSE(options.classicServiceButton.Checked());
  options.okButton.UserClick();  // an unknown name stays for Start to report
  EXPECT_NE(ConfigText().find("Protocol=cbk\r\n"), std::string::npos);
}

TEST_F(OptionsWindowTest, TheThreeServicesAreOneChoiceAndTheKeyBoxBelongsToTheMapTilesApi) {
  EXPECT_EQ(options.mapTilesServiceButton.Caption(), "Map Tiles API, with your key (billed)");
  EXPECT_TRUE(options.apiKeyEdit.PasswordEcho());
  options.ShowModal();
  EXPECT_FALSE(options.apiKeyEdit.Visible());
  options.mapTilesServiceButton.UserClick();
  EXPECT_TRUE(options.mapTilesServiceButton.Checked());
  EXPECT_FALSE(options.currentServiceButton.Checked());
  EXPECT_FALSE(options.classicServiceButton.Checked());
  EXPECT_TRUE(options.apiKeyEdit.Visible());
  EXPECT_TRUE(options.apiKeyLabel.Visible());
  EXPECT_TRUE(options.connectionsEdit.Enabled()) << "fetched like today's protocol";
  options.apiKeyEdit.UserType("AIza-typed_key");
  options.okButton.UserClick();
  EXPECT_NE(ConfigText().find("[Service]\r\nProtocol=maptiles\r\nApiKey=AIza-typed_key\r\n"),
            std::string::npos)
      << ConfigText();
  struct stat status {};
  ASSERT_EQ(stat(ConfigFilePath().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u) << "the key is its owner's alone";

  // The box shows what the file holds, never the environment's key.
  ASSERT_EQ(setenv(ApiKeyVariable, "from-environment", 1), 0);
  options.ShowModal();
  unsetenv(ApiKeyVariable);
  EXPECT_TRUE(options.mapTilesServiceButton.Checked());
  EXPECT_EQ(options.apiKeyEdit.Text(), "AIza-typed_key");
  options.classicServiceButton.UserClick();
  EXPECT_FALSE(options.apiKeyEdit.Visible());
  EXPECT_FALSE(options.mapTilesServiceButton.Checked());
  options.cancelButton.UserClick();
}

TEST_F(OptionsWindowTest, ConnectionsAreShownForTheCurrentProtocolAndWrittenWhenChanged) {
  options.ShowModal();
  EXPECT_EQ(options.connectionsEdit.Text(), "8");
  EXPECT_TRUE(options.connectionsEdit.Enabled());
  options.classicServiceButton.UserClick();
  EXPECT_FALSE(options.connectionsEdit.Enabled()) << "the classic protocol has its eight workers";
  options.currentServiceButton.UserClick();
  EXPECT_TRUE(options.connectionsEdit.Enabled());
  options.okButton.UserClick();
  EXPECT_EQ(ConfigText().find("Connections="), std::string::npos) << "unchanged: not written";

  for (const auto& [typed, stored] : std::vector<std::pair<std::string, std::string>>{
           {"16", "16"}, {"500", "64"}, {"none", "64"}, {"0", "64"}}) {
    options.ShowModal();
    options.connectionsEdit.UserType(typed);
    options.okButton.UserClick();
    EXPECT_NE(ConfigText().find("[Download]\r\nConnections=" + stored + "\r\n"), std::string::npos)
        << typed;
  }
  EXPECT_EQ(ReadConnections(), 64);
}

}  // namespace
}  // namespace korvane::test
