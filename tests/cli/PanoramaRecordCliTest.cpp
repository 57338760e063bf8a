#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanoramaId.h"
#include "PanoramaMessage.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "support/InProcessCli.h"
#include "support/TextContains.h"
#include "task/PanoramaRecordFile.h"
#include "task/TaskFile.h"

namespace korvane::test {
namespace {

// What a download learned of its panorama, by place, by id and by month, through korvane-cli.
class PanoramaRecordCli : public InProcessCli<> {
 protected:
  PanoramaRecordCli() {
    program.WriteConfig(standin.CurrentServiceConfig());
    const auto point = standin::PointAnswered(false, 48.8584, 2.2945);  // a whole answer
    EXPECT_TRUE(point);
    latitude = FloatToStr(point->first, '.');
    longitude = FloatToStr(point->second, '.');
    cell = *standin::CellOf(point->first, point->second);
  }
  int Download(const std::string& task, std::vector<std::string> more) {
    std::vector<std::string> arguments = {"--task", task,        "--zoom", "1",
                                          "--path", save.Path(), "--quiet"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunCli(arguments);
  }
  int Requests(const std::string& part) const {
    int count = 0;
    for (const auto& request : standin.Requests())
      count += request.Target.find(part) != std::string::npos ? 1 : 0;
    return count;
  }
  std::string TileIdsAsked() const {
    std::string ids;
    for (const auto& request : standin.Requests()) {
      const std::size_t at = request.Target.find("panoid=");
      if (at == std::string::npos) continue;
      const std::string id = request.Target.substr(at + 7, 22);
      if (ids.find(id) == std::string::npos) ids += id + ";";
    }
    return ids;
  }

  std::string latitude;
  std::string longitude;
  standin::PanoramaCell cell;
};

TEST_F(PanoramaRecordCli, TheRecordIsWrittenBesideTheTaskFileAndInfoJsonGivesTheSameBytes) {
  ASSERT_EQ(Download("place", {"--lat", latitude, "--lon", longitude}), 0) << err.str();
  const std::string file = ReadFileBytes(save.Path() + "place.json");
  const auto record = PanoramaRecordFromJson(file);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->PanoId, standin::PanoIdOf(cell));
  EXPECT_TRUE(record->Heading);
  EXPECT_EQ(record->OtherDates.size(), 2u);
  // The window's log (and this one) lists the other dates, a line each.
  for (const OtherCapture& other : record->OtherDates)
    EXPECT_TRUE(Contains(
        out.str(), "Also taken " + CaptureMonthText(*other.Date) + ": " + other.PanoId + "\n"))
        << out.str();

  const int tilesBefore = Requests("/v1/tile");
  ASSERT_EQ(RunCli({"--info", "--json", "--lat", latitude, "--lon", longitude}), 0) << err.str();
  EXPECT_EQ(out.str(), file);
  ASSERT_EQ(RunCli({"--info", "--lat", latitude, "--lon", longitude}), 0) << err.str();
  EXPECT_TRUE(Contains(out.str(), "Panorama: " + record->PanoId + "\n")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "\nOther date: ")) << out.str();
  EXPECT_EQ(Requests("/v1/tile"), tilesBefore);  // --info downloads nothing

  // At the next start the record is written anew.
  WriteFileBytes(save.Path() + "place.json", "{}");
  ASSERT_EQ(Download("place", {"--lat", latitude, "--lon", longitude}), 0) << err.str();
  EXPECT_EQ(ReadFileBytes(save.Path() + "place.json"), file);
}

TEST_F(PanoramaRecordCli, ByIdAndByLink_ThatPanoramaWithoutLookingThePlaceUp) {
  const std::string older = standin::PanoIdOf(cell, 2);
  ASSERT_EQ(Download("byid.krvn", {"--pano", older}), 0) << err.str();
  EXPECT_EQ(TileIdsAsked(), older + ";");
  EXPECT_EQ(Requests("SingleImageSearch"), 0);
  EXPECT_EQ(Requests("/maps/photometa/v1"), 1);
  EXPECT_TRUE(ReadTaskFile(save.Path() + "byid.krvn").StartedById);
  EXPECT_EQ(ReadPanoramaRecord(save.Path() + "byid.krvn")->PanoId, older);

  // Continuing it, from the same command or from its task file, asks for the id again.
  ASSERT_EQ(Download("byid.krvn", {"--pano", older}), 0) << err.str();
  EXPECT_TRUE(Contains(out.str(), "Log continue...")) << out.str();
  ASSERT_EQ(RunCli({"--open", save.Path() + "byid.krvn", "--quiet"}), 0) << err.str();
  EXPECT_TRUE(Contains(out.str(), "Log continue...")) << out.str();
  EXPECT_EQ(Requests("SingleImageSearch"), 0);
  EXPECT_EQ(Requests("/maps/photometa/v1"), 3);

  // A place typed over it asks for that place.
  ASSERT_EQ(RunCli({"--open", save.Path() + "byid.krvn", "--task", "placed", "--lat", latitude,
                    "--lon", longitude, "--quiet"}),
            0)
      << err.str();
  EXPECT_EQ(Requests("SingleImageSearch"), 1);
  EXPECT_EQ(ReadTaskFile(save.Path() + "placed.krvn").PanoId, standin::PanoIdOf(cell));

  const std::string middle = standin::PanoIdOf(cell, 1);
  const std::string link = "https://www.google.com/maps/@" + latitude + "," + longitude +
                           ",3a,75y,90t/data=!3m6!1e1!3m4!1s" + middle + "!2e0!7i16384!8i8192";
  ASSERT_EQ(Download("link", {"--lat", link}), 0) << err.str();
  EXPECT_EQ(ReadTaskFile(save.Path() + "link.krvn").PanoId, middle);
  EXPECT_EQ(Requests("SingleImageSearch"), 1);

  EXPECT_EQ(Download("classic", {"--pano", older, "--service", "classic"}), 1);
  EXPECT_EQ(err.str(), "Looking a panorama up by its id is not offered by the classic protocol.\n");
  EXPECT_FALSE(FileExists(save.Path() + "classic.krvn"));
}

TEST_F(PanoramaRecordCli, Date_TheCaptureOfThatMonthOrTheNearest) {
  const auto [year, month] = standin::CaptureDateOf(cell, 1);
  const std::string wanted = CaptureMonthText({year, month});
  ASSERT_EQ(Download("month", {"--lat", latitude, "--lon", longitude, "--date", wanted}), 0)
      << err.str();
  EXPECT_TRUE(Contains(out.str(), "Capture of " + wanted + ": " + standin::PanoIdOf(cell, 1)))
      << out.str();
  EXPECT_EQ(ReadTaskFile(save.Path() + "month.krvn").PanoId, standin::PanoIdOf(cell, 1));
  EXPECT_FALSE(ReadTaskFile(save.Path() + "month.krvn").StartedById);

  const std::string near = CaptureMonthText({year + 1, month});
  ASSERT_EQ(RunCli({"--info", "--lat", latitude, "--lon", longitude, "--date", near}), 0);
  EXPECT_TRUE(Contains(out.str(), "Taken: " + wanted + "\n")) << out.str();
  EXPECT_TRUE(Contains(
      err.str(), "No capture of " + near + " at this place; taking the nearest, " + wanted + ": "))
      << err.str();
}

}  // namespace
}  // namespace korvane::test
