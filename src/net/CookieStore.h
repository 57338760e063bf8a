#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace korvane {

// The program's cookie store, a Netscape cookie file: the user's SettingsFolder() + "cookies.txt"
// when there is one, else the one shipped in ProgramFolder() + "ini/cookies.txt".
// Each cookie is one line of seven tab-separated fields: domain, include-subdomains flag
// (TRUE/FALSE), path, secure flag (TRUE/FALSE), expiry in seconds since 1970 (0 = session
// cookie), name, value. A line starting with "#HttpOnly_" is a cookie whose domain follows the
// prefix; other lines starting with "#", blank lines and malformed lines are skipped.
std::string CookieFilePath();

// The cookies the store holds for MapHomePageUrl(), as "name=value" pairs in file order joined
// by "; ". The empty text when the store is missing or unreadable, holds no such cookie, or the
// text would not be shorter than CookieBufferBytes. Never raises. Read afresh on every call.
std::string GetMapCookies();

// The cookie text for a URL out of a store file's content, at the time `now`, as RFC 6265 lets
// a cookie go: its domain is the URL's host (any letter case), or a parent of it that has a
// leading dot or the include-subdomains flag (never for an address); its path is the URL's path
// or a folder above it (empty counts as "/"); it is secure-only just for https; it has not
// expired; and its name and value hold no control character. Empty for a URL the client would
// refuse, or when the text would not be shorter than CookieBufferBytes. Never raises.
std::string CookiesForUrl(std::string_view storeContent, const std::string& url, std::time_t now);

// The home page's cookies (as GetMapCookies) that may also go with a request to `url` by the
// rules of CookiesForUrl: the cookies of the home page's own domain reach the service's hosts in
// that domain, while a tile host elsewhere, or one reached over plain HTTP for a secure-only
// cookie, gets none of them.
std::string MapCookiesForUrl(std::string_view storeContent, const std::string& homePageUrl,
                             const std::string& url, std::time_t now);

// The store and the home page read once (for a worker, before its first request), then the
// cookie text for each request's URL (MapCookiesForUrl, at the time of the call).
class MapCookieJar {
 public:
  MapCookieJar();
  std::string For(const std::string& url) const;

 private:
  std::string store_;
  std::string homePage_;
};

}  // namespace korvane
