#include <gtest/gtest.h>

#include "net/CookieStore.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

constexpr std::time_t Now = 1'700'000'000;

TEST(CookieStore, PicksTheHomePageCookiesInFileOrder) {
  const std::string store =
      "# Netscape HTTP Cookie File\n"
      "maps.example.com\tFALSE\t/\tFALSE\t0\tSID\tabc\n"
      ".example.com\tTRUE\t/\tFALSE\t1800000000\tPREF\tid=1:tm=2\r\n"
      "#HttpOnly_maps.example.com\tFALSE\t/\tFALSE\t0\tHSID\tsecret\n"
      "example.com\tTRUE\t\tFALSE\t0\tNOPATH\t1\n"
      "MAPS.Example.COM\tFALSE\t/\tFALSE\t0\tCASE\t2\n"
      "\n"
      "# maps.example.com\tFALSE\t/\tFALSE\t0\tCOMMENTED\tx\n"
      "example.com\tFALSE\t/\tFALSE\t0\tPARENTONLY\tx\n"
      "other.com\tTRUE\t/\tFALSE\t0\tOTHER\tx\n"
      "ps.example.com\tTRUE\t/\tFALSE\t0\tSUFFIXONLY\tx\n"
      "maps.example.com\tFALSE\t/mail\tFALSE\t0\tPATH\tx\n"
      "maps.example.com\tFALSE\t/\tTRUE\t0\tSECURE\tx\n"
      "maps.example.com\tFALSE\t/\tFALSE\t1600000000\tEXPIRED\tx\n"
      "maps.example.com\tFALSE\t/\tFALSE\tsoon\tBADEXPIRY\tx\n"
      "maps.example.com\tFALSE\t/\tFALSE\t0\tSHORT\n"
      "maps.example.com\tFALSE\t/\tFALSE\t0\tCTRL\ta\x01z\n"
      "maps.example.com\tFALSE\t/\tFALSE\t0\tEMPTY\t\n";
  EXPECT_EQ(CookiesForUrl(store, "http://maps.example.com/", Now),
            "SID=abc; PREF=id=1:tm=2; HSID=secret; NOPATH=1; CASE=2; EMPTY=");
  EXPECT_EQ(CookiesForUrl(store, "http://MAPS.example.com:8080/", Now),
            "SID=abc; PREF=id=1:tm=2; HSID=secret; NOPATH=1; CASE=2; EMPTY=");
  EXPECT_EQ(CookiesForUrl(store, "http://nothing.test/", Now), "");
}

TEST(CookieStore, PathsMatchByWholeFoldersAndSecureOnlyNeedsHttps) {
  const std::string store =
      "h.test\tFALSE\t/cbk\tFALSE\t0\tFOLDER\t1\n"
      "h.test\tFALSE\t/cbk/\tFALSE\t0\tSLASHED\t2\n"
      "h.test\tFALSE\t/\tTRUE\t0\tSECURE\t3\n"
      ".0.0.1\tTRUE\t/\tFALSE\t0\tADDRESSPARENT\t4\n"
      "127.0.0.1\tFALSE\t/\tFALSE\t0\tADDRESS\t5\n";
  struct Case {
    const char* url;
    const char* cookies;
  };
  const Case cases[] = {
      {"http://h.test/cbk", "FOLDER=1"},
      {"http://h.test/cbk?output=tile&x=1/2", "FOLDER=1"},
      {"http://h.test/cbk/tile", "FOLDER=1; SLASHED=2"},
      {"http://h.test/cbkx", ""},
      {"http://h.test/", ""},
      {"http://h.test", ""},
      {"https://h.test/cbk/", "FOLDER=1; SLASHED=2; SECURE=3"},
      {"http://127.0.0.1:8080/", "ADDRESS=5"},
      {"http://h.test/a b", ""},  // a URL the client refuses gets none
  };
  for (const Case& c : cases)
    EXPECT_EQ(CookiesForUrl(store, c.url, Now), c.cookies) << c.url;
}

TEST(CookieStore, HomePageCookiesGoOnlyWhereTheRequestsHostPathAndSchemeAllow) {
  const std::string store =
      ".example.com\tTRUE\t/\tFALSE\t0\tDOMAIN\td\n"
      "maps.example.com\tFALSE\t/\tFALSE\t0\tHOSTONLY\th\n"
      ".example.com\tTRUE\t/\tTRUE\t0\tSECURE\ts\n"
      ".example.com\tTRUE\t/cbk\tFALSE\t0\tTILEPATH\tt\n"
      ".other.com\tTRUE\t/\tFALSE\t0\tOTHER\to\n";
  struct Case {
    const char* homePage;
    const char* url;
    const char* cookies;
  };
  const Case cases[] = {
      // The classic hosts share the home page's domain: its domain cookies, as before.
      {"http://maps.example.com/", "http://cbk0.example.com/cbk?output=tile", "DOMAIN=d"},
      {"http://maps.example.com/", "http://maps.example.com/", "DOMAIN=d; HOSTONLY=h"},
      // A tile host in another domain gets none of them.
      {"http://maps.example.com/", "https://tiles.other.com/v1/tile?x=1", ""},
      // Secure-only cookies need https on both sides.
      {"http://maps.example.com/", "https://cbk0.example.com/cbk", "DOMAIN=d"},
      {"https://maps.example.com/", "https://cbk0.example.com/cbk", "DOMAIN=d; SECURE=s"},
      {"https://maps.example.com/", "http://cbk0.example.com/cbk", "DOMAIN=d"},
      {"http://maps.example.com/", "not a url", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MapCookiesForUrl(store, c.homePage, c.url, Now), c.cookies) << c.url;
}

TEST(CookieStore, AJarReadsTheStoreOnceAndAnswersPerAddress) {
  test::TempProgramFolder folder;
  folder.WriteConfig("[Service]\r\nHomePage=http://maps.example.test/\r\n");
  WriteFileBytes(CookieFilePath(), ".example.test\tTRUE\t/\tFALSE\t0\tNID\t42\n");
  const MapCookieJar jar;
  DeleteFile(CookieFilePath());
  EXPECT_EQ(jar.For("http://cbk1.example.test/cbk"), "NID=42");
  EXPECT_EQ(jar.For("http://tiles.elsewhere.test/cbk"), "");
}

TEST(CookieStore, TextMustFitTheLookupBuffer) {
  auto storeWithValueOf = [](std::size_t length) {
    return "h.test\tFALSE\t/\tFALSE\t0\tn\t" + std::string(length, 'v') + "\n";
  };
  // "n=" plus the value: 1023 characters fit beside the terminating NUL, 1024 do not.
  EXPECT_EQ(CookiesForUrl(storeWithValueOf(1021), "http://h.test/", Now).size(), 1023u);
  EXPECT_EQ(CookiesForUrl(storeWithValueOf(1022), "http://h.test/", Now), "");
}

TEST(CookieStore, GetMapCookiesReadsTheProgramFoldersStore) {
  test::TempProgramFolder folder;
  folder.WriteConfig("[Service]\r\nHomePage=http://maps.example.test/\r\n");
  EXPECT_EQ(CookieFilePath(), folder.Path() + "ini/cookies.txt");
  WriteFileBytes(CookieFilePath(), "maps.example.test\tFALSE\t/\tFALSE\t0\tNID\t42\n");
  EXPECT_EQ(GetMapCookies(), "NID=42");
  DeleteFile(CookieFilePath());
  EXPECT_EQ(GetMapCookies(), "");
}

}  // namespace
}  // namespace korvane
