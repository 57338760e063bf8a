#include "net/CookieStore.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

#include "net/HttpLimits.h"
#include "net/ServiceAddresses.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
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

// The URL's host in lower case, without scheme, port or path.
std::string HostOf(const std::string& url) {
  std::size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  std::size_t end = url.find_first_of("/?#", start);
  std::string host = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  std::size_t colon = host.find(':');
  if (colon != std::string::npos) host.erase(colon);
  return Lower(host);
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

bool DomainMatches(std::string domain, bool includeSubdomains, const std::string& host) {
  domain = Lower(domain);
  bool leadingDot = !domain.empty() && domain[0] == '.';
  if (leadingDot) domain.erase(0, 1);
  if (domain.empty() || host.empty()) return false;
  if (host == domain) return true;
  if (!leadingDot && !includeSubdomains) return false;
  return host.size() > domain.size() + 1 &&
         host.compare(host.size() - domain.size() - 1, std::string::npos, "." + domain) == 0;
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

std::string CookiesForUrl(std::string_view storeContent, const std::string& url, std::time_t now) {
  const std::string host = HostOf(url);
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
    const std::string& name = fields[5];
    const std::string& value = fields[6];
    if (!DomainMatches(domain, IsTrue(fields[1]), host)) continue;
    if (!path.empty() && path != "/") continue;
    if (IsTrue(fields[3]) || !IsAlive(fields[4], now)) continue;
    if (HasControlCharacter(name) || HasControlCharacter(value)) continue;
    if (!result.empty()) result += "; ";
    result += name + "=" + value;
  }
  return result.size() < CookieBufferBytes ? result : std::string();
}

std::string GetMapCookies() {
  try {
    const std::string path = CookieFilePath();
    if (!FileExists(path)) return "";
    return CookiesForUrl(ReadFileBytes(path), MapHomePageUrl(), std::time(nullptr));
  } catch (const std::exception&) {
    // A store that cannot be read holds no cookies for us; the request goes out without them.
    return "";
  }
}

}  // namespace korvane
