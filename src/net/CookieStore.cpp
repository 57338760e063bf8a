#include "net/CookieStore.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "net/HttpLimits.h"
#include "net/HttpUrl.h"
#include "net/ServiceAddresses.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"
#include "platform/TextFile.h"

namespace korvane {
namespace {

constexpr std::string_view HttpOnlyPrefix = "#HttpOnly_";
constexpr const char* CookieFileName = "cookies.txt";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// What of a request's URL decides which cookies go with it.
struct CookieTarget {
  std::string Host;  // lower case, without the port
  std::string Path;  // the path without the query; "/" when there is none
  bool Secure = false;
};

// Nothing for a URL the client would refuse: no request, no cookies.
std::optional<CookieTarget> TargetOf(const std::string& url) {
  HttpUrl parts;
  try {
    parts = SplitUrl(url);
  } catch (const Exception&) {
    return std::nullopt;
  }
  CookieTarget target;
  target.Host = Lower(parts.Host);
  target.Path = parts.Target.substr(0, parts.Target.find('?'));
  if (target.Path.empty() || target.Path[0] != '/') target.Path = "/";
  target.Secure = parts.IsHttps();
  return target;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(
        line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool IsTrue(const std::string& flag) {
  return strcasecmp(flag.c_str(), "TRUE") == 0;
}

bool IsAddress(const std::string& host) {
  return std::all_of(host.begin(), host.end(),
                     [](char c) { return c == '.' || IsDecimalDigit(c); });
}

bool DomainMatches(std::string domain, bool includeSubdomains, const std::string& host) {
  domain = Lower(domain);
  bool leadingDot = !domain.empty() && domain[0] == '.';
  if (leadingDot) domain.erase(0, 1);
  if (domain.empty() || host.empty()) return false;
  if (host == domain) return true;
  // An address has no parent domain.
  if ((!leadingDot && !includeSubdomains) || IsAddress(host)) return false;
  return host.size() > domain.size() + 1 &&
         host.compare(host.size() - domain.size() - 1, std::string::npos, "." + domain) == 0;
}

// RFC 6265 5.1.4: the cookie's path is the request's path or a folder above it. An empty path
// in the store stands for "/".
bool PathMatches(const std::string& cookiePath, const std::string& requestPath) {
  if (cookiePath.empty() || cookiePath == requestPath) return true;
  if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
  return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

// Expiry: 0 is a session cookie (alive); other values are seconds since 1970.
bool IsAlive(const std::string& expiry, std::time_t now) {
  if (expiry.empty() || expiry.size() > 18 ||
      !std::all_of(expiry.begin(), expiry.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  long long seconds = std::stoll(expiry);
  return seconds == 0 || seconds > static_cast<long long>(now);
}

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::string CookieFilePath() {
  const std::string users = SettingsFolder() + CookieFileName;
  return FileExists(users) ? users : ProgramFolder() + "ini/" + CookieFileName;
}

namespace {

// The cookies of the store that every one of the targets may receive.
std::string CookiesForTargets(std::string_view storeContent,
                              const std::vector<CookieTarget>& targets, std::time_t now) {
  std::string result;
  for (std::string line : SplitLines(storeContent)) {
    if (line.compare(0, HttpOnlyPrefix.size(), HttpOnlyPrefix) == 0) {
      line.erase(0, HttpOnlyPrefix.size());
    } else if (line.empty() || line[0] == '#') {
      continue;
    }
    std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 7) continue;
    const std::string& domain = fields[0];
    const std::string& path = fields[2];
    const bool secureOnly = IsTrue(fields[3]);
    const std::string& name = fields[5];
    const std::string& value = fields[6];
    const bool allowed = std::all_of(targets.begin(), targets.end(), [&](const CookieTarget& t) {
      return DomainMatches(domain, IsTrue(fields[1]), t.Host) && PathMatches(path, t.Path) &&
             (!secureOnly || t.Secure);
    });
    if (!allowed || !IsAlive(fields[4], now)) continue;
    if (HasControlCharacter(name) || HasControlCharacter(value)) continue;
    if (!result.empty()) result += "; ";
    result += name + "=" + value;
  }
  return result.size() < CookieBufferBytes ? result : std::string();
}

std::string ReadStoreOrNothing() {
  try {
    const std::string path = CookieFilePath();
    return FileExists(path) ? ReadFileBytes(path) : std::string();
  } catch (const std::exception&) {
    // A store that cannot be read holds no cookies for us; the request goes out without them.
    return "";
  }
}

}  // namespace

std::string CookiesForUrl(std::string_view storeContent, const std::string& url, std::time_t now) {
  const std::optional<CookieTarget> target = TargetOf(url);
  if (!target) return "";
  return CookiesForTargets(storeContent, {*target}, now);
}

std::string MapCookiesForUrl(std::string_view storeContent, const std::string& homePageUrl,
                             const std::string& url, std::time_t now) {
  const std::optional<CookieTarget> home = TargetOf(homePageUrl);
  const std::optional<CookieTarget> target = TargetOf(url);
  if (!home || !target) return "";
  return CookiesForTargets(storeContent, {*home, *target}, now);
}

MapCookieJar::MapCookieJar() : store_(ReadStoreOrNothing()), homePage_(MapHomePageUrl()) {}

std::string MapCookieJar::For(const std::string& url) const {
  return MapCookiesForUrl(store_, homePage_, url, std::time(nullptr));
}

std::string GetMapCookies() {
  return CookiesForUrl(ReadStoreOrNothing(), MapHomePageUrl(), std::time(nullptr));
}

}  // namespace korvane
