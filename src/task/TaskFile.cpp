#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "task/DownloadTask.h"

namespace korvane {

void DownloadTask::SaveTaskFile() const {
  if (Params->ContinueTask) return;
  SaveLines(TaskFilePath(), {
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
                            });
}

}  // namespace korvane
