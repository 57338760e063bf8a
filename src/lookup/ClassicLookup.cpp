#include "lookup/ClassicLookup.h"

#include <exception>
#include <optional>
#include <string_view>

#include "net/BrowserHeaders.h"
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

// The failure of one attempt: its message, or nothing when the failure carries no text.
struct AttemptFailure {
  std::optional<std::string> Message;
};

std::optional<AttemptFailure> TryGet(const HttpGetFunction& get, const std::string& url,
                                     std::string& answer) {
  answer.clear();
  try {
    get(url, answer);
    return std::nullopt;
  } catch (const std::exception& error) {
    return AttemptFailure{error.what()};
  } catch (...) {
    return AttemptFailure{};
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
    const std::optional<AttemptFailure> failure = TryGet(get, address, answer);
    if (!failure) break;

    if (!failure->Message) {
      if (attempt >= UntextedAttempts) return "";
    } else {
      const std::string& message = *failure->Message;
      using namespace FailureText;
      if (MessageContains(message, ConnectionReset) || MessageContains(message, ClosedGracefully)) {
        addLogLine(message + "->" + address);
        if (attempt >= ResetAttempts) {
          addLogLine("Failed to get the pano_id.");
          return "";
        }
      } else if (MessageContains(message, Redirect) || MessageContains(message, Forbidden)) {
        if (attempt >= RefusedAttempts) {
          addLogLine(BannedLine);
          return "";
        }
      } else if (MessageContains(message, NotFound)) {
        addLogLine(address + ":Error: the url is not found on server.");
        return "";
      } else if (MessageContains(message, SocketFailure)) {
        if (attempt >= NetworkAttempts) {
          addLogLine("Error: your network is with problem.");
          return "";
        }
      } else {
        if (attempt >= OtherErrorAttempts) return "";
        addLogLine(message + "->" + address);
      }
    }
    TheClock().Sleep(AttemptPause);
  }

  WriteFileAtomically(ProgramFolder() + MetadataAnswerFile, answer);
  return PanoIdFromAnswer(answer);
}

}  // namespace korvane
