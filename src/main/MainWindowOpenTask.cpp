#include "main/MainWindow.h"
#include "session/TaskFileRequest.h"

namespace korvane {

void MainWindow::OpenTaskClick() {
  openTaskDialog.Title = "Open project file:";
  openTaskDialog.Filter = "Projects(*.krvn)|*.krvn";
  openTaskDialog.FilterIndex = 1;
  openTaskDialog.InitialDir = DefaultSavePath;
  if (!openTaskDialog.Execute()) return;

  const StartRequest request = RequestFromTaskFile(openTaskDialog.FileName);
  savePathEdit.SetText(request.SavePath);
  taskNameEdit.SetText(request.TaskName);
  latitudeEdit.SetText(request.Latitude);
  longitudeEdit.SetText(request.Longitude);
  zoomEdit.SetText(request.Zoom);
  opened_ = request;
}

}  // namespace korvane
