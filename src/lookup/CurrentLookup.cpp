#include "lookup/CurrentLookup.h"

#include "net/BrowserHeaders.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/PushBack.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"

namespace korvane {
namespace {

constexpr const char* LookupAnswerFile = "temp.json";

}  // namespace

CurrentLookupAnswer LookUpCurrentPanorama(
    HttpClient& client, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine) {
  PrepareLookupClient(client);
  SetCurrentBrowserHeaders(client);
  return LookUpCurrentPanoramaWith(RefuseHtmlPages(client), latitude, longitude, addLogLine,
                                   [&client] { return client.IsAborted(); });
}

CurrentLookupAnswer LookUpCurrentPanoramaWith(
    const HttpGetFunction& get, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped) {
  const std::string address = CurrentLookupUrl(latitude, longitude);
  const std::optional<std::string> body =
      FetchLookupAnswer(get, address, CurrentLookupRepeats(), addLogLine, stopped);
  if (!body) {
    CurrentLookupAnswer gaveUp;
    gaveUp.Problem = "no answer";
    return gaveUp;
  }

  const std::string answerPath = CacheFolder() + LookupAnswerFile;
  WriteFileAtomically(answerPath, *body, NewFileAccess::Private);  // it says where the user looked
  CurrentLookupAnswer answer = ParseCurrentLookupAnswer(*body);
  if (answer.Kind == LookupAnswerKind::Refused) {
    addLogLine(BannedLine);
  } else if (answer.Kind == LookupAnswerKind::Unreadable) {
    // The service changed its answers: say where the answer is, so it can be looked at.
    addLogLine("The lookup answer is not understood (" + answer.Problem + "); it is kept in " +
               answerPath);
  }
  return answer;
}

std::string PanoramaLine(const CurrentLookupAnswer& answer, int zoom) {
  const PixelSize& size = answer.Sizes.at(static_cast<std::size_t>(zoom));
  std::string line = "Panorama: " + IntToStr(size.Width) + "x" + IntToStr(size.Height) +
                     " at zoom " + IntToStr(zoom);
  if (!answer.CaptureDate.empty()) line += ", taken " + answer.CaptureDate;
  return line;
}

}  // namespace korvane
