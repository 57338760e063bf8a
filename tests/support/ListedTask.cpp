#include "support/ListedTask.h"

#include "platform/FileSystem.h"

namespace korvane::test {

ListedTask::ListedTask(const std::string& folder, const std::string& name,
                       const std::string& tileBase)
    : tileBase_(tileBase),
      taskFile_(folder + name + ".krvn"),
      tileFolder_(folder + name + "/"),
      listPath_(folder + name + "_failed.ftl") {
  // Written by hand, not through the task's own writer, so a change there shows here.
  WriteFileBytes(taskFile_,
                 "[MapsType]\r\nMapsType=33\r\n[AREA]\r\nLatitude=48.8\r\nLongitude=2.3\r\n"
                 "[Pano]\r\nPano_id=PANO\r\n[Zoom]\r\nZoom=3\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\n"
                 "MaxX=3\r\nMaxY=1\r\n\r\n");
  CreateDir(tileFolder_);
}

std::string ListedTask::ConfigLines() const {
  return "[Service]\r\nProtocol=current\r\nTileBase=" + tileBase_ + "\r\n";
}

std::string ListedTask::TilePath(int x, int y) const {
  return tileFolder_ + "gv_" + std::to_string(x) + "_" + std::to_string(y) + "_" +
         std::to_string(Zoom) + ".jpg";
}

std::string ListedTask::Target(int x, int y) const {
  return "/v1/tile?cb_client=maps_sv.tactile&panoid=PANO&x=" + std::to_string(x) +
         "&y=" + std::to_string(y) + "&zoom=" + std::to_string(Zoom);
}

std::string ListedTask::Url(int x, int y) const {
  return tileBase_ + Target(x, y);
}

std::string ListedTask::Line(int x, int y) const {
  return TilePath(x, y) + "|" + Url(x, y);
}

std::string ListedTask::WriteList(const TStringList& lines) const {
  SaveLines(listPath_, lines);
  return listPath_;
}

}  // namespace korvane::test
