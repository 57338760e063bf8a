#include <gtest/gtest.h>

#include "maptiles/MapTilesAccess.h"
#include "maptiles/MapTilesAnswers.h"

namespace korvane {
namespace {

std::string ErrorBody(int code, const std::string& message, const std::string& status) {
  return R"({"error":{"code":)" + std::to_string(code) + R"(,"message":")" + message +
         R"(","status":")" + status + R"("}})";
}

struct MeaningCase {
  int Code;
  const char* Message;
  const char* Status;
  MapTilesErrorMeaning Meaning;
};

TEST(MapTilesAnswers, EachErrorMeansWhatTheCallerMustDo) {
  using enum MapTilesErrorMeaning;
  const MeaningCase cases[] = {
      {400, "API key not valid. Please pass a valid API key.", "INVALID_ARGUMENT", AccessRefused},
      {403, "Map Tiles API has not been used in project 1 before or it is disabled.",
       "PERMISSION_DENIED", AccessRefused},
      {403, "This API method requires billing to be enabled.", "PERMISSION_DENIED", AccessRefused},
      {400, "Billing account is closed.", "FAILED_PRECONDITION", AccessRefused},
      {401, "Request had invalid authentication credentials.", "UNAUTHENTICATED", AccessRefused},
      {400, "The session token is invalid or has expired.", "INVALID_ARGUMENT", SessionRefused},
      {400, "Invalid Session", "INVALID_ARGUMENT", SessionRefused},
      {429, "Quota exceeded for the session", "RESOURCE_EXHAUSTED", Other},
      {404, "Not found.", "NOT_FOUND", Other},
      {400, "Tile coordinates out of range.", "INVALID_ARGUMENT", Other},
      {500, "Internal error.", "INTERNAL", Other},
  };
  for (const MeaningCase& c : cases) {
    const std::optional<MapTilesError> error =
        ParseMapTilesError(ErrorBody(c.Code, c.Message, c.Status));
    ASSERT_TRUE(error) << c.Message;
    EXPECT_EQ(error->Code, c.Code);
    EXPECT_EQ(error->Message, c.Message);
    EXPECT_EQ(MeaningOf(*error), c.Meaning) << c.Message;
  }
}

TEST(MapTilesAnswers, TheErrorLineIsOnePrintableBoundedLine) {
  const std::optional<MapTilesError> error =
      ParseMapTilesError(ErrorBody(400, "bad\\r\\nkey\\u001b[2J", "INVALID_ARGUMENT"));
  ASSERT_TRUE(error);
  const std::string line = MapTilesErrorLine(*error);
  EXPECT_EQ(line.rfind("Map Tiles API: bad", 0), 0u) << line;
  EXPECT_EQ(line.find_first_of("\r\n\x1b"), std::string::npos) << line;
  EXPECT_EQ(MapTilesErrorLine(MapTilesError{403, "", "PERMISSION_DENIED"}),
            "Map Tiles API: PERMISSION_DENIED");
  const std::optional<MapTilesError> huge =
      ParseMapTilesError(ErrorBody(400, std::string(5000, 'm'), "X"));
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->Message.size(), MaxErrorMessageLength);
  for (const char* notAnError : {"", "<html>", "[]", R"({"error":"x"})", R"({"session":"s"})"})
    EXPECT_FALSE(ParseMapTilesError(notAnError)) << notAnError;
}

TEST(MapTilesAnswers, ASessionAnswerIsCheckedBeforeUse) {
  std::string problem;
  const auto session = ParseSessionAnswer(
      R"({"session":"IgAB-x_1.z","expiry":"1893456000","tileWidth":512,"tileHeight":512,)"
      R"("imageFormat":"jpeg"})",
      problem);
  ASSERT_TRUE(session) << problem;
  EXPECT_EQ(session->Session, "IgAB-x_1.z");
  EXPECT_EQ(session->Expiry, 1893456000);
  const char* refused[] = {
      "not json",
      R"({"expiry":"1","tileWidth":512,"tileHeight":512,"imageFormat":"jpeg"})",
      R"({"session":"a&key=b","expiry":"1","tileWidth":512,"tileHeight":512,"imageFormat":"jpeg"})",
      R"({"session":"s","expiry":"soon","tileWidth":512,"tileHeight":512,"imageFormat":"jpeg"})",
      R"({"session":"s","expiry":"1","tileWidth":256,"tileHeight":256,"imageFormat":"jpeg"})",
      R"({"session":"s","expiry":"1","tileWidth":512,"tileHeight":512,"imageFormat":"png"})",
  };
  for (const char* body : refused) {
    problem.clear();
    EXPECT_FALSE(ParseSessionAnswer(body, problem)) << body;
    EXPECT_FALSE(problem.empty()) << body;
  }
}

TEST(MapTilesAnswers, TheBillingLineCountsEachKind) {
  EXPECT_EQ(BillingLine({1, 1, 512, 0}),
            "Requests sent to the Map Tiles API: 1 session, 1 metadata, 512 tiles.");
  EXPECT_EQ(BillingLine({2, 0, 1, 0}),
            "Requests sent to the Map Tiles API: 2 sessions, 0 metadata, 1 tile.");
  MapTilesRequestCounts batch{1, 250, 8000, 3};
  batch += MapTilesRequestCounts{1, 0, 0, 0};
  EXPECT_EQ(BillingLine(batch),
            "Requests sent to the Map Tiles API: 2 sessions, 3 panoIds, 250 metadata, 8000 tiles.");
  EXPECT_FALSE(MapTilesRequestCounts{}.Any());
}

}  // namespace
}  // namespace korvane
