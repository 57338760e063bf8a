#include "lookup/ClassicLookup.h"

#include <optional>
#include <string_view>

#include "lookup/ClassicLookupRecord.h"
#include "net/HttpClient.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/TextFile.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

constexpr const char* MetadataAnswerFile = "temp.xml";
constexpr std::string_view PanoIdMarker = "pano_id=";
constexpr size_t PanoIdLength = 22;

}  // namespace

std::string PanoIdFromAnswer(const std::string& answer) {
  const TStringList lines = SplitLines(answer);
  if (lines.empty()) return "";
  const std::string& first = lines.front();
  const size_t marker = first.find(PanoIdMarker);
  if (marker == std::string::npos) return "";
  // The id starts after the marker and the opening quote of the attribute value.
  const size_t start = marker + PanoIdMarker.size() + 1;
  if (start >= first.size()) return "";
  return first.substr(start, PanoIdLength);
}

std::string LookUpPanorama(HttpClient& client, double latitude, double longitude,
                           const std::function<void(const std::string&)>& addLogLine) {
  return LookUpClassicPanorama(client, latitude, longitude, addLogLine).PanoId;
}

std::string LookUpPanoramaWith(const HttpGetFunction& get, double latitude, double longitude,
                               const std::function<void(const std::string&)>& addLogLine,
                               const std::function<bool()>& stopped) {
  return LookUpClassicPanoramaWith(get, latitude, longitude, addLogLine, stopped).PanoId;
}

ClassicLookupResult LookUpClassicPanorama(
    HttpClient& client, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine) {
  PrepareLookupClient(client);
  return LookUpClassicPanoramaWith(
      [&client](const std::string& url, std::string& body) { client.Get(url, body); }, latitude,
      longitude, addLogLine, [&client] { return client.IsAborted(); });
}

ClassicLookupResult LookUpClassicPanoramaWith(
    const HttpGetFunction& get, double latitude, double longitude,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped) {
  const std::string address = MetadataUrl(latitude, longitude);
  const std::optional<std::string> answer =
      FetchLookupAnswer(get, address, ClassicLookupRepeats(), addLogLine, stopped);
  if (!answer) return {};
  WriteFileAtomically(CacheFolder() + MetadataAnswerFile, *answer, NewFileAccess::Private);
  // The id goes into tile addresses, file names and the task file: text that cannot be an id
  // (a short id cut together with the quote and what follows) means no panorama.
  ClassicLookupResult result;
  const std::string panoId = PanoIdFromAnswer(*answer);
  if (!IsUsablePanoId(panoId)) return result;
  result.PanoId = panoId;
  result.Record = RecordFromMetadataXml(*answer);
  result.Record.PanoId = panoId;
  return result;
}

}  // namespace korvane
