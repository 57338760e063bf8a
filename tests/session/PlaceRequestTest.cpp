#include <gtest/gtest.h>

#include "session/PlaceRequest.h"

namespace korvane {
namespace {

TEST(TakePlaceFromLatitude, APlaceFillsBothCoordinatesAndNothingElseChanges) {
  StartRequest request{"t", "https://www.google.com/maps/@-33.85,151.21,3a", "9", "2", "/p/"};
  EXPECT_TRUE(TakePlaceFromLatitude(request));
  EXPECT_EQ(request.Latitude, "-33.85");
  EXPECT_EQ(request.Longitude, "151.21");
  EXPECT_EQ(request.TaskName, "t");
  EXPECT_EQ(request.Zoom, "2");
  EXPECT_EQ(request.SavePath, "/p/");

  EXPECT_EQ(request.PanoId, "");

  StartRequest typed{"t", "52,52", "13,4", "3", "/p/"};
  EXPECT_FALSE(TakePlaceFromLatitude(typed));
  EXPECT_EQ(typed.Latitude, "52,52");
  EXPECT_EQ(typed.Longitude, "13,4");
}

TEST(TakePlaceFromLatitude, ALinkNamingAPanoramaAsksForIt) {
  StartRequest request{"t",
                       "https://www.google.com/maps/@48.8583701,2.2944813,3a,75y,90t/"
                       "data=!3m6!1e1!3m4!1sAbCdEfGhIjKlMnOpQrStUv!2e0!7i16384!8i8192",
                       "9", "2", "/p/"};
  EXPECT_TRUE(TakePlaceFromLatitude(request));
  EXPECT_EQ(request.Latitude, "48.8583701");
  EXPECT_EQ(request.Longitude, "2.2944813");
  EXPECT_EQ(request.PanoId, "AbCdEfGhIjKlMnOpQrStUv");
}

}  // namespace
}  // namespace korvane
