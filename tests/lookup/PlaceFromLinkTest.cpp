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
