#include "main/TForm1.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

// What the zoom box shows for a task file without a usable zoom.
constexpr int MissingZoom = 18;

}  // namespace

void TForm1::LoadParametersfromprojectfilel1Click() {
  OpenDialog1.Title = "Open project file:";
  OpenDialog1.Filter = "Projects(*.krvn)|*.krvn";
  OpenDialog1.FilterIndex = 1;
  OpenDialog1.InitialDir = DefaultSavePath;
  if (!OpenDialog1.Execute()) return;

  const std::string& chosen = OpenDialog1.FileName;
  TIniFile taskFile(chosen);
  Edit6.SetText(ExtractFilePath(chosen));
  EditTaskName.SetText(ExtractFileName(chosen));
  EditLat.SetText(taskFile.ReadString(AreaSection, LatitudeKey, ""));
  EditLong.SetText(taskFile.ReadString(AreaSection, LongitudeKey, ""));
  EditZoom.SetText(IntToStr(taskFile.ReadInteger(ZoomSection, ZoomKey, MissingZoom)));
}

}  // namespace korvane
