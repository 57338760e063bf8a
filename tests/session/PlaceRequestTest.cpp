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

  StartRequest typed{"t", "52,52", "13,4", "3", "/p/"};
  EXPECT_FALSE(TakePlaceFromLatitude(typed));
  EXPECT_EQ(typed.Latitude, "52,52");
  EXPECT_EQ(typed.Longitude, "13,4");
}

}  // namespace
}  // namespace korvane
