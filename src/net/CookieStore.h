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

// The cookie text for a URL out of a store file's content, at the time `now`. A cookie is
// taken when its domain is the URL's host (any letter case), or a parent of it that has a
// leading dot or the include-subdomains flag; its path is "/" or empty; it has not expired;
// it is not secure-only; and its name and value hold no control character.
std::string CookiesForUrl(std::string_view storeContent, const std::string& url, std::time_t now);

}  // namespace korvane
