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

StartRequest MainWindow::TypedRequest() const {
  return StartRequest{taskNameEdit.Text(), latitudeEdit.Text(), longitudeEdit.Text(),
                      zoomEdit.Text(), savePathEdit.Text()};
}

}  // namespace korvane
