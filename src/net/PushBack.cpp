#include "net/PushBack.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

#include "net/HttpClient.h"
#include "net/HttpErrors.h"

namespace korvane {
namespace {

constexpr long long LongestRetryAfterSeconds = 24LL * 60 * 60;
constexpr const char* SorryPath = "/sorry/";
constexpr const char* ConsentHostPrefix = "consent.";
constexpr const char* HtmlType = "text/html";

// The host part of an absolute address ("https://consent.host/x" -> "consent.host"); empty
// for a relative one.
std::string HostOf(const std::string& location) {
  const std::size_t scheme = location.find("://");
  if (scheme == std::string::npos) return {};
  const std::size_t start = scheme + 3;
  const std::size_t end = location.find_first_of("/?#", start);
  return location.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

std::optional<Milliseconds> ParseRetryAfter(const std::string& value) {
  if (value.empty() || value.size() > 12) return std::nullopt;
  if (!std::all_of(value.begin(), value.end(),
                   [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  const long long seconds = std::min(std::stoll(value), LongestRetryAfterSeconds);
  return Milliseconds(seconds * 1000);
}

bool IsRefusalAddress(const std::string& location) {
  if (location.find(SorryPath) != std::string::npos) return true;
  const std::string host = HostOf(location);
  return strncasecmp(host.c_str(), ConsentHostPrefix,
                     std::char_traits<char>::length(ConsentHostPrefix)) == 0;
}

bool IsHtmlContentType(const std::string& contentType) {
  const std::size_t length = std::char_traits<char>::length(HtmlType);
  std::size_t start = 0;
  while (start < contentType.size() && std::isspace(static_cast<unsigned char>(contentType[start])))
    ++start;
  if (contentType.size() - start < length) return false;
  if (strncasecmp(contentType.c_str() + start, HtmlType, length) != 0) return false;
  const std::size_t after = start + length;
  return after == contentType.size() || contentType[after] == ';' ||
         std::isspace(static_cast<unsigned char>(contentType[after]));
}

bool IsPushBackReply(int status, const std::string& location, bool namesRetryAfter) {
  if (status == TooManyRequestsStatus) return true;
  if (status == ServiceUnavailableStatus) return namesRetryAfter;
  return status >= 300 && status <= 399 && IsRefusalAddress(location);
}

HttpGetFunction RefuseHtmlPages(HttpClient& client) {
  return [&client](const std::string& url, std::string& body) {
    client.Get(url, body);
    if (IsHtmlContentType(client.ResponseContentType())) {
      throw HtmlPageError(client.ResponseText(), client.ResponseContentType());
    }
  };
}

}  // namespace korvane
