#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "task/DownloadTask.h"

namespace korvane {

void DownloadTask::SaveTaskFile() const {
  if (Params->ContinueTask) return;
  TStringList lines = {
      "[MapsType]",
      "MapsType=" + IntToStr(Params->MapsType),
      "[AREA]",
      "Latitude=" + FloatToStr(Params->Latitude),
      "Longitude=" + FloatToStr(Params->Longitude),
      "[Pano]",
      "Pano_id=" + Params->PanoId,
      "[Zoom]",
      "Zoom=" + IntToStr(Params->Zoom),
      "",
      "[XY]",
      "MinX=" + IntToStr(MinX),
      "MinY=" + IntToStr(MinY),
      "MaxX=" + IntToStr(MaxX),
      "MaxY=" + IntToStr(MaxY),
      "",
  };
  if (Params->MapsType == CurrentStreetViewMapsType) {
    lines.insert(lines.end(), {"[Image]", "Width=" + IntToStr(Params->ImageWidth),
                               "Height=" + IntToStr(Params->ImageHeight)});
    if (!Params->CaptureDate.empty()) lines.push_back("Date=" + Params->CaptureDate);
    lines.push_back("");
  }
  SaveLines(TaskFilePath(), lines);
}

}  // namespace korvane
