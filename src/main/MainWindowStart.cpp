#include "main/MainWindow.h"

namespace korvane {

void MainWindow::StartStopClick() {
  if (startStopButton.Caption() == "Start") {
    session_.Start(TypedRequest());
  } else {
    session_.Stop();
  }
}

StartRequest MainWindow::TypedRequest() const {
  return StartRequest{taskNameEdit.Text(), latitudeEdit.Text(), longitudeEdit.Text(),
                      zoomEdit.Text(), savePathEdit.Text()};
}

}  // namespace korvane
