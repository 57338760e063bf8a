#include "lookup/ClassicLookup.h"

#include <exception>
#include <optional>
#include <string_view>

#include "net/BrowserHeaders.h"
#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/ServiceAddresses.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/TextFile.h"

namespace korvane {
namespace {

// How many attempts each kind of failure allows in all (the shared counter included).
constexpr int ResetAttempts = 30;
constexpr int RefusedAttempts = 4;
constexpr int NetworkAttempts = 4;
constexpr int OtherErrorAttempts = 10;
constexpr int UntextedAttempts = 4;
constexpr Milliseconds AttemptPause{500};

constexpr const char* MetadataAnswerFile = "ini/temp.xml";
constexpr std::string_view PanoIdMarker = "pano_id=";
constexpr size_t PanoIdLength = 22;

std::optional<RequestFailure> TryGet(const HttpGetFunction& get, const std::string& url,
                                     std::string& answer) {
  answer.clear();
  try {
    get(url, answer);
    return std::nullopt;
  } catch (...) {
    return ClassifyFailure(std::current_exception());
  }
}

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

std::string LookUpPanorama(double latitude, double longitude,
                           const std::function<void(const std::string&)>& addLogLine,
                           const std::function<void()>& processMessages) {
  // A client of its own: browser headers, but no proxy and no cookie line.
  HttpClient client;
  SetBrowserHeaders(client);
  return LookUpPanoramaWith(
      [&client](const std::string& url, std::string& body) { client.Get(url, body); }, latitude,
      longitude, addLogLine, processMessages);
}

std::string LookUpPanoramaWith(const HttpGetFunction& get, double latitude, double longitude,
                               const std::function<void(const std::string&)>& addLogLine,
                               const std::function<void()>& processMessages) {
  const std::string address = MetadataUrl(latitude, longitude);
  addLogLine("Getting pano_id now, please wait...");

  std::string answer;
  for (int attempt = 1;; ++attempt) {
    if (processMessages) processMessages();
    const std::optional<RequestFailure> failure = TryGet(get, address, answer);
    if (!failure) break;

    const std::string message = failure->Message.value_or("");
    switch (failure->Kind) {
      case FailureKind::Untexted:
        if (attempt >= UntextedAttempts) return "";
        break;
      case FailureKind::ConnectionReset:
      case FailureKind::ClosedEarly:
        addLogLine(message + "->" + address);
        if (attempt >= ResetAttempts) {
          addLogLine("Failed to get the pano_id.");
          return "";
        }
        break;
      case FailureKind::Redirect:
      case FailureKind::Forbidden:
        if (attempt >= RefusedAttempts) {
          addLogLine(BannedLine);
          return "";
        }
        break;
      case FailureKind::NotFound:
        addLogLine(address + ":Error: the url is not found on server.");
        return "";
      case FailureKind::AddressInUse:
      case FailureKind::SocketFailure:
        if (attempt >= NetworkAttempts) {
          addLogLine("Error: your network is with problem.");
          return "";
        }
        break;
      case FailureKind::BadRequest:
      case FailureKind::OtherStatus:
      case FailureKind::Other:
        if (attempt >= OtherErrorAttempts) return "";
        addLogLine(message + "->" + address);
        break;
    }
    TheClock().Sleep(AttemptPause);
  }

  WriteFileAtomically(ProgramFolder() + MetadataAnswerFile, answer);
  return PanoIdFromAnswer(answer);
}

}  // namespace korvane
