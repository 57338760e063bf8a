#include "lookup/CurrentLookup.h"

#include "net/BrowserHeaders.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/PushBack.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

constexpr const char* LookupAnswerFile = "temp.json";

// Fetches the answer at address, keeps it, and reads it with parse; the lines as described in
// the header.
CurrentLookupAnswer FetchAndParse(const HttpGetFunction& get, const std::string& address,
                                  CurrentLookupAnswer (*parse)(std::string_view),
                                  const std::function<void(const std::string&)>& addLogLine,
                                  const std::function<bool()>& stopped) {
  const std::optional<std::string> body =
      FetchLookupAnswer(get, address, CurrentLookupRepeats(), addLogLine, stopped);
  if (!body) {
    CurrentLookupAnswer gaveUp;
    gaveUp.Problem = "no answer";
    return gaveUp;
  }

  const std::string answerPath = CacheFolder() + LookupAnswerFile;
  WriteFileAtomically(answerPath, *body, NewFileAccess::Private);  // it says where the user looked
  CurrentLookupAnswer answer = parse(*body);
  if (answer.Kind == LookupAnswerKind::Refused) {
    addLogLine(BannedLine);
  } else if (answer.Kind == LookupAnswerKind::Unreadable) {
    // The service changed its answers: say where the answer is, so it can be looked at.
    addLogLine("The lookup answer is not understood (" + answer.Problem + "); it is kept in " +
               answerPath);
  }
  return answer;
}

HttpGetFunction PreparedGet(HttpClient& client) {
  PrepareLookupClient(client);
  SetCurrentBrowserHeaders(client);
  return RefuseHtmlPages(client);
}

}  // namespace

CurrentLookupAnswer LookUpCurrentPanorama(HttpClient& client, double latitude, double longitude,
                                          const std::function<void(const std::string&)>& addLogLine,
                                          int radiusMetres) {
  return LookUpCurrentPanoramaWith(
      PreparedGet(client), latitude, longitude, addLogLine,
      [&client] { return client.IsAborted(); }, radiusMetres);
}

CurrentLookupAnswer LookUpCurrentPanoramaWith(
    const HttpGetFunction& get, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine, const std::function<bool()>& stopped,
    int radiusMetres) {
  return FetchAndParse(get, CurrentLookupUrl(latitude, longitude, radiusMetres),
                       ParseCurrentLookupAnswer, addLogLine, stopped);
}

CurrentLookupAnswer LookUpCurrentPanoramaById(
    HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine) {
  return LookUpCurrentPanoramaByIdWith(PreparedGet(client), panoId, addLogLine,
                                       [&client] { return client.IsAborted(); });
}

CurrentLookupAnswer LookUpCurrentPanoramaByIdWith(
    const HttpGetFunction& get, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped) {
  if (!IsUsablePanoId(panoId)) {
    CurrentLookupAnswer refused;
    refused.Kind = LookupAnswerKind::NoPanorama;
    refused.Problem = "not a panorama id";
    return refused;
  }
  return FetchAndParse(get, PanoramaByIdUrl(panoId), ParsePanoramaByIdAnswer, addLogLine, stopped);
}

std::string PanoramaLine(const CurrentLookupAnswer& answer, int zoom) {
  const PixelSize& size = answer.Sizes.at(static_cast<std::size_t>(zoom));
  std::string line = "Panorama: " + IntToStr(size.Width) + "x" + IntToStr(size.Height) +
                     " at zoom " + IntToStr(zoom);
  if (!answer.CaptureDate.empty()) line += ", taken " + answer.CaptureDate;
  return line;
}

}  // namespace korvane
