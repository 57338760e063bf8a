#include "net/HttpUrl.h"

#include <strings.h>

#include <algorithm>

#include "net/HttpErrors.h"
#include "net/HttpLimits.h"

namespace korvane {
namespace {

bool IsUnsendable(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7F;
}

int ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  int port = std::stoi(text);
  return port <= 65535 ? port : 0;
}

}  // namespace

bool HttpUrl::IsHttps() const {
  return strcasecmp(Scheme.c_str(), "https") == 0;
}

int HttpUrl::EffectivePort() const {
  if (HasPort()) return Port;
  return IsHttps() ? DefaultHttpsPort : DefaultHttpPort;
}

HttpUrl SplitUrl(const std::string& url) {
  if (std::any_of(url.begin(), url.end(), IsUnsendable)) {
    throw HttpClientError("The URL holds a blank or a control character and was not requested.");
  }
  std::string text = url;
  std::replace(text.begin(), text.end(), '\\', '/');

  HttpUrl result;
  std::size_t schemeEnd = text.find("://");
  if (schemeEnd == std::string::npos) {
    throw HttpClientError(
        "The URL is not an absolute http or https address and was not requested.");
  }
  result.Scheme = text.substr(0, schemeEnd);
  if (strcasecmp(result.Scheme.c_str(), "http") != 0 &&
      strcasecmp(result.Scheme.c_str(), "https") != 0) {
    throw HttpClientError("The URL's scheme is not http or https; the address was not requested.");
  }

  std::size_t hostStart = schemeEnd + 3;
  std::size_t hostEnd = text.find_first_of("/?#", hostStart);
  if (hostEnd == std::string::npos) hostEnd = text.size();
  std::string hostPart = text.substr(hostStart, hostEnd - hostStart);
  std::size_t colon = hostPart.find(':');
  if (colon != std::string::npos) {
    result.Port = ParsePort(hostPart.substr(colon + 1));
    if (result.Port == 0) {
      throw HttpClientError("The URL's port is not a number from 1 to 65535; not requested.");
    }
    hostPart.erase(colon);
  }
  if (hostPart.empty()) throw HttpClientError("The URL names no host and was not requested.");
  result.Host = hostPart;

  std::string target = text.substr(hostEnd);
  std::size_t fragment = target.find('#');
  if (fragment != std::string::npos) target.erase(fragment);
  if (target.empty() || target[0] != '/') target = "/" + target;
  result.Target = target;
  return result;
}

}  // namespace korvane
