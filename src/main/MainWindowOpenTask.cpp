#include "main/MainWindow.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

// What the zoom box shows for a task file without a usable zoom.
constexpr int MissingZoom = 18;

}  // namespace

void MainWindow::OpenTaskClick() {
  openTaskDialog.Title = "Open project file:";
  openTaskDialog.Filter = "Projects(*.krvn)|*.krvn";
  openTaskDialog.FilterIndex = 1;
  openTaskDialog.InitialDir = DefaultSavePath;
  if (!openTaskDialog.Execute()) return;

  const std::string& chosen = openTaskDialog.FileName;
  TIniFile taskFile(chosen);
  savePathEdit.SetText(ExtractFilePath(chosen));
  taskNameEdit.SetText(ExtractFileName(chosen));
  latitudeEdit.SetText(taskFile.ReadString(AreaSection, LatitudeKey, ""));
  longitudeEdit.SetText(taskFile.ReadString(AreaSection, LongitudeKey, ""));
  zoomEdit.SetText(IntToStr(taskFile.ReadInteger(ZoomSection, ZoomKey, MissingZoom)));
}

}  // namespace korvane
