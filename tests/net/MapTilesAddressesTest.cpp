#include <gtest/gtest.h>

#include "net/MapTilesAddresses.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

constexpr const char* Base = "https://tiles.example.test";

TEST(MapTilesAddresses, TheDocumentedPathsWithoutAnyCredential) {
  EXPECT_EQ(MapTilesSessionUrl(Base), "https://tiles.example.test/v1/createSession");
  EXPECT_EQ(MapTilesMetadataUrl(Base, 48.5, -2.25),
            "https://tiles.example.test/v1/streetview/metadata?lat=48.5&lng=-2.25&radius=50");
  EXPECT_EQ(MapTilesTileUrl(Base, "p-1_A", 3, 1, 5),
            "https://tiles.example.test/v1/streetview/tiles/5/3/1?panoId=p-1_A");
  EXPECT_EQ(MapTilesPanoIdsUrl(Base), "https://tiles.example.test/v1/streetview/panoIds");
}

TEST(MapTilesAddresses, BaseFromTheConfigurationWithoutItsTrailingSlash) {
  test::TempProgramFolder folder;
  EXPECT_EQ(MapTilesBase(), DefaultMapTilesBase);
  folder.WriteConfig("[Service]\r\nMapTilesBase=https://127.0.0.1:4443//\r\n");
  EXPECT_EQ(MapTilesBase(), "https://127.0.0.1:4443");
}

struct CredentialCase {
  const char* Address;
  const char* Session;
  const char* Sent;
};

TEST(MapTilesAddresses, CredentialsGoOnAtSendingAndComeOffEverywhere) {
  const CredentialCase cases[] = {
      {"https://h/v1/createSession", "", "https://h/v1/createSession?key=K"},
      {"https://h/v1/streetview/tiles/1/0/0?panoId=P", "S",
       "https://h/v1/streetview/tiles/1/0/0?panoId=P&session=S&key=K"},
      {"https://h/v1/streetview/panoIds", "S", "https://h/v1/streetview/panoIds?session=S&key=K"},
  };
  for (const CredentialCase& c : cases) {
    EXPECT_EQ(WithCredentials(c.Address, c.Session, "K"), c.Sent);
    EXPECT_EQ(WithoutCredentials(c.Sent), c.Address);
  }
  EXPECT_EQ(WithoutCredentials("https://h/p?key=K&a=1&session=S&b=2"), "https://h/p?a=1&b=2");
  EXPECT_EQ(WithoutCredentials("https://h/p?monkey=1&keys=2"), "https://h/p?monkey=1&keys=2");
  EXPECT_EQ(WithoutCredentials("https://h/p"), "https://h/p");
}

TEST(MapTilesAddresses, OnlyPlainTokensAreSafeCredentials) {
  for (const char* safe : {"AIzaSy-abc_DEF.123", "a"})
    EXPECT_TRUE(IsSafeCredential(safe)) << safe;
  for (const char* unsafe : {"", "a b", "a&b=c", "a\r\nX: 1", "k%41", "key#"})
    EXPECT_FALSE(IsSafeCredential(unsafe)) << unsafe;
  EXPECT_TRUE(IsSafeCredential(std::string(MaxCredentialLength, 'k')));
  EXPECT_FALSE(IsSafeCredential(std::string(MaxCredentialLength + 1, 'k')));
}

}  // namespace
}  // namespace korvane
