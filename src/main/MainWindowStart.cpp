#include "main/MainWindow.h"
#include "session/PlaceRequest.h"

namespace korvane {

void MainWindow::StartStopClick() {
  if (startStopButton.Caption() == "Start") {
    StartRequest request = TypedRequest();
    if (TakePlaceFromLatitude(request)) {
      latitudeEdit.SetText(request.Latitude);
      longitudeEdit.SetText(request.Longitude);
    }
    session_.Start(request);
  } else {
    session_.Stop();
  }
}

// The configuration is read at every press, so a change saved in the Options window counts
// from the next Start on.
StartRequest MainWindow::TypedRequest() const {
  StartRequest request{taskNameEdit.Text(), latitudeEdit.Text(), longitudeEdit.Text(),
                       zoomEdit.Text(), savePathEdit.Text()};
  request.Service = ReadServiceRoute();
  const bool showsOpened =
      request.TaskName == opened_.TaskName && request.SavePath == opened_.SavePath &&
      request.Latitude == opened_.Latitude && request.Longitude == opened_.Longitude;
  if (showsOpened) request.PanoId = opened_.PanoId;
  return request;
}

}  // namespace korvane
