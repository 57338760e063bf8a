// The cookie store's file: whatever it holds, the cookie text for a request never carries a
// character that would split the request's Cookie line.
#include <cstdlib>

#include "FuzzTarget.h"
#include "net/CookieStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content = korvane::fuzz::AsText(data, size);
  for (const char* url :
       {"http://maps.google.com/", "http://a.b.example:8080/x?y", "http://127.0.0.1/"}) {
    for (const std::string& cookies :
         {korvane::CookiesForUrl(content, url, 1'700'000'000),
          korvane::MapCookiesForUrl(content, "http://maps.google.com/", url, 1'700'000'000)}) {
      for (unsigned char c : cookies) {
        if (c < ' ' || c == 0x7F) std::abort();
      }
    }
  }
  return 0;
}
