#include <gtest/gtest.h>

#include "lookup/PlaceFromLink.h"

namespace korvane {
namespace {

::testing::AssertionResult GivesPlace(const std::string& text, const std::string& latitude,
                                      const std::string& longitude) {
  std::optional<PlaceTexts> place = PlaceFromText(text);
  if (!place) return ::testing::AssertionFailure() << "no place in \"" << text << "\"";
  if (place->Latitude != latitude || place->Longitude != longitude) {
    return ::testing::AssertionFailure()
           << "\"" << text << "\" gave " << place->Latitude << " / " << place->Longitude;
  }
  return ::testing::AssertionSuccess();
}

TEST(PlaceFromText, TakesTheCoordinatesAfterTheAtOfAMapLink) {
  EXPECT_TRUE(
      GivesPlace("https://www.google.com/maps/@48.8583701,2.2944813,3a,75y,90t/data=!3m6!1e1!3m4",
                 "48.8583701", "2.2944813"));
  EXPECT_TRUE(
      GivesPlace("https://www.google.com/maps/place/Opera+House/"
                 "@-33.8567844,151.2152967,17z/data=!3m1",
                 "-33.8567844", "151.2152967"));
  EXPECT_TRUE(GivesPlace("  https://maps.example.test/@10,-20  \n", "10", "-20"));
  EXPECT_TRUE(GivesPlace("https://maps.example.test/@1.5,2.5?hl=en", "1.5", "2.5"));
}

// "!1s<ID>" in a link's data names the panorama shown; other "!1s" fields (a place's
// "0x...:0x...") are no panorama ids.
TEST(PlaceFromText, TakesThePanoramaIdALinkNames) {
  const struct {
    std::string Link, Latitude, Longitude, Id;
  } cases[] = {
      {"https://www.google.com/maps/@48.8583701,2.2944813,3a,75y,90t/data=!3m6!1e1!3m4!1sAbC-d_"
       "EfGhIjKlMnOpQrS!2e0!7i16384!8i8192",
       "48.8583701", "2.2944813", "AbC-d_EfGhIjKlMnOpQrS"},
      {"https://www.google.com/maps/place/Tower/@48.85,2.29,3a/data=!4m5!3m4!1s0x47e6:0x8ddc!8m2"
       "!3m6!1e1!3m4!1sPanoAfterThePlace!2e0",
       "48.85", "2.29", "PanoAfterThePlace"},
      {"https://www.google.com/maps/@48.85,2.29,17z", "48.85", "2.29", ""},
      {"https://www.google.com/maps/data=!3m4!1sOnlyAnId!2e0", "", "", "OnlyAnId"},
      {"https://www.google.com/maps/@1,2,3a/data=!1s!2e0", "1", "2", ""},
  };
  for (const auto& c : cases) {
    const std::optional<PlaceTexts> place = PlaceFromText(c.Link);
    ASSERT_TRUE(place) << c.Link;
    EXPECT_EQ(place->Latitude, c.Latitude) << c.Link;
    EXPECT_EQ(place->Longitude, c.Longitude) << c.Link;
    EXPECT_EQ(place->PanoId, c.Id) << c.Link;
  }
  // Not a map link, or an id that could be anything else: no place at all.
  EXPECT_FALSE(PlaceFromText("!1sAbCdEf"));
  EXPECT_FALSE(PlaceFromText("https://www.google.com/maps/data=!1sa/../b"));
  EXPECT_FALSE(PlaceFromText("https://www.google.com/maps/data=!1s0x47e6:0x8ddc"));
}

TEST(PlaceFromText, TakesAPairOfNumbers) {
  EXPECT_TRUE(GivesPlace("48.8583701, 2.2944813", "48.8583701", "2.2944813"));
  EXPECT_TRUE(GivesPlace("48.8583701,2.2944813", "48.8583701", "2.2944813"));
  EXPECT_TRUE(GivesPlace(" -33.85 ,151.21 ", "-33.85", "151.21"));
  EXPECT_TRUE(GivesPlace("52, 13", "52", "13"));
}

TEST(PlaceFromText, LeavesEverythingElseAsTyped) {
  for (const char* text : {
           "", "48.8583701",
           "52,52",           // one latitude with a decimal comma
           "52,5,13,4",       // ambiguous commas
           "48.85, 2.29, 3",  // a third number
           "48.85; 2.29", "abc, def", "48.85,", "https://www.google.com/maps/place/Eiffel+Tower",
           "https://www.google.com/maps/@48.85",
           "https://www.google.com/maps/@48.85,2.29x",  // not a field end after the pair
           "https://www.google.com/maps/@48.85, 2.29",  // a link has no blanks
           "user@48.85,2.29",                           // not after a path "/"
       }) {
    EXPECT_FALSE(PlaceFromText(text)) << "\"" << text << "\"";
  }
}

}  // namespace
}  // namespace korvane
