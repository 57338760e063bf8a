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
