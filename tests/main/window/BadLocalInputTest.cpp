#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"

namespace korvane::test {
namespace {

using namespace std::string_literals;

// Damaged files as users end up with them: binary noise, a line of 10 MB, NUL bytes, CR line
// ends without LF, sections missing, numbers out of every range.
std::string Binary() {
  std::string bytes;
  for (int i = 0; i < 4096; ++i)
    bytes += static_cast<char>((i * 131 + 7) % 256);
  return bytes;
}
const std::string TenMegabyteLine = "Latitude=" + std::string(10 * 1024 * 1024, '4') + "\r\n";

struct Garbled {
  std::string name;
  std::string bytes;
};

std::vector<Garbled> GarbledTaskFiles() {
  return {
      {"binary", Binary()},
      {"huge line", "[AREA]\r\n" + TenMegabyteLine + "[Zoom]\r\nZoom=3\r\n"},
      {"nul bytes",
       "[AREA]\r\nLatitude=4\0"
       "8\r\n[Zoom]\r\nZoom=\0"
       "3\r\n"s},
      {"cr only", "[AREA]\rLatitude=48.8566\rLongitude=2.3522\r[Zoom]\rZoom=2\r"},
      {"no sections", "Latitude=1\r\nZoom=2\r\n"},
      {"out of range", "[Zoom]\r\nZoom=99999999999999999999\r\n[THREADS]\r\nT1X=-5\r\n"},
      {"zoom 99", "[AREA]\r\nLatitude=48.8566\r\nLongitude=2.3522\r\n[Zoom]\r\nZoom=99\r\n"},
      {"negative grid", "[XY]\r\nMinX=-7\r\nMaxX=-1\r\nMinY=-2147483648\r\n[Zoom]\r\nZoom=-3\r\n"},
  };
}

class BadLocalInput : public MainWindowFixture {};

TEST_F(BadLocalInput, OpenTask_ShowsWhatItCanAndChangesNoFile) {
  for (const Garbled& file : GarbledTaskFiles()) {
    SCOPED_TRACE(file.name);
    const std::string path = SavePath() + "damaged.krvn";
    WriteFileBytes(path, file.bytes);
    dialogs.QueuePick(path);
    form->openTaskButton.UserClick();
    EXPECT_EQ(form->taskNameEdit.Text(), "damaged.krvn");
    EXPECT_LE(form->latitudeEdit.Text().size(), TIniFile::MaxIniValueLength);
    EXPECT_FALSE(form->zoomEdit.Text().empty());
    EXPECT_TRUE(dialogs.Errors().empty());
    EXPECT_EQ(ReadFileBytes(path), file.bytes) << "reading a task file never writes it";
  }
  WriteFileBytes(SavePath() + "damaged.krvn", "[Zoom]\r\nZoom=x\r\n");
  dialogs.QueuePick(SavePath() + "damaged.krvn");
  form->openTaskButton.UserClick();
  EXPECT_EQ(form->zoomEdit.Text(), "18") << "the documented stand-in for a zoom that is no number";
}

TEST_F(BadLocalInput, Continue_WithDamagedResumePositionsFetchesTheWholeGrid) {
  const std::string path = SavePath() + "cont.krvn";
  Type("cont.krvn", "48.8566", "2.3522", "2", SavePath());
  StartAndRunToEnd();
  const size_t firstRun = standin->Requests().size();
  // The run's own head stays, so the task continues; its positions are replaced by damage.
  std::string head = ReadFileBytes(path);
  head = head.substr(0, head.find("[THREADS]"));
  WriteFileBytes(path, head + "[THREADS]\r\nT1X=2147483647\r\nT1Y=2147483647\r\n" +
                           "T2X=-1\r\nT2Y=-2147483648\r\nT3X=0x7FFFFFFF\r\nT3Y=3\r\n" +
                           "T4X=99\r\nT4Y=\0\r\n"s + Binary());
  StartAndRunToEnd();
  ASSERT_TRUE(form->Session().Task());
  EXPECT_TRUE(form->Session().Task()->Params->ContinueTask);
  int tiles = 0;
  const std::vector<StandinRequest> requests = standin->Requests();
  for (size_t i = firstRun; i < requests.size(); ++i)
    tiles += requests[i].Target.find("output=tile") != std::string::npos ? 1 : 0;
  EXPECT_EQ(tiles, 8) << "every position outside the grid counts as none";
}

TEST_F(BadLocalInput, Configuration_DamagedKeysGiveTheirDefaultsAndTheFileIsKept) {
  const std::string config = program.Path() + "ini/config.ini";
  const std::string damaged = Binary() + "\r\n" + TenMegabyteLine +
                              "[Proxy]\rUseProxy=\0"
                              "1\rProxyPort=\0\r"s +
                              "[IniParas]\r\nDefaultPath=" + std::string(5000, 'p') + "\r\n" +
                              ReadFileBytes(config);
  WriteFileBytes(config, damaged);
  Type("fine", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_EQ(ReadFileBytes(config), damaged) << "a run never writes the configuration";
  EXPECT_TRUE(FileExists(SavePath() + "fine/gv_1_0_1.jpg"));
}

}  // namespace
}  // namespace korvane::test
