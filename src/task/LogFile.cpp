#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "task/DownloadTask.h"

namespace korvane {
namespace {

// What the header's password line shows for a password that is set: the log is read, copied
// and sent along with task folders, and the run prints it; it says that a password is in use,
// never which.
constexpr const char* HiddenPassword = "********";

}  // namespace

void DownloadTask::WriteLogHeader() const {
  // The header names the proxy account, and a log written before passwords were hidden holds
  // the password itself: with a password in use only the owner may read the log.
  const NewFileAccess access = Params->UseProxy && !Params->ProxyPassword.empty()
                                   ? NewFileAccess::Private
                                   : NewFileAccess::Shared;
  if (Params->ContinueTask) {
    TStringList lines = LoadLines(LogFileName);
    lines.push_back(std::string(44, '-'));
    lines.push_back("Log continue...");
    lines.push_back("Now time is:" + NowText());
    SaveLines(LogFileName, lines, access);
    return;
  }
  TStringList lines = {
      "Project: " + Params->SavePath + Params->TaskFileName,
      "Log begin......",
      "Now time is:" + NowText(),
      "",
      "MapsType=" + IntToStr(MapsTypeOf(Params->Protocol)),
      "Latitude=" + FloatToStr(Params->Latitude),
      "Longitude=" + FloatToStr(Params->Longitude),
      "Pano_id=" + Params->PanoId,
  };
  if (IsTodaysProtocol(Params->Protocol)) {
    // The panorama's real size: the grid's last column and row reach beyond it.
    lines.push_back("Image=" + IntToStr(Params->ImageWidth) + "x" + IntToStr(Params->ImageHeight));
    if (!Params->CaptureDate.empty()) lines.push_back("Date=" + Params->CaptureDate);
  }
  lines.push_back("");
  if (Params->UseProxy) {
    lines.insert(
        lines.end(),
        {
            "Using Proxy:",
            "Proxy Server:" + Params->ProxyServer,
            "Proxy Port:" + Params->ProxyPort,
            "ProxyUsername:" + Params->ProxyUsername,
            "ProxyPassword:" + std::string(Params->ProxyPassword.empty() ? "" : HiddenPassword),
            "",
        });
  }
  lines.insert(lines.end(),
               {
                   "MinX = " + IntToStr(grid_.MinX),
                   "MinY = " + IntToStr(grid_.MinY),
                   "MaxX = " + IntToStr(grid_.MaxX),
                   "MaxY = " + IntToStr(grid_.MaxY),
                   "",
                   "Total count of images would be downloaded: " + IntToStr(grid_.TotalCount()),
                   "",
                   "Zoom level: " + IntToStr(Params->Zoom),
                   "",
                   "path: " + Params->SavePath,
                   "",
                   "Start downloading...",
                   std::string(34, '~'),
               });
  SaveLines(LogFileName, lines, access);
}

void DownloadTask::CreateFailedList() const {
  if (Params->ContinueTask) return;
  WriteFileAtomically(FailedFileName, "");
}

}  // namespace korvane
