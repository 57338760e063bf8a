#include <gtest/gtest.h>

#include <sstream>

#include "cli/BatchList.h"

namespace korvane::test {
namespace {

// Every row of a list as "place line: lat|lon|name|zoom" or "error line: reason".
std::vector<std::string> Rows(const std::string& text) {
  std::istringstream in(text);
  BatchListReader reader(in);
  std::vector<std::string> rows;
  while (auto row = reader.Next()) {
    if (row->Place) {
      const BatchPlace& p = *row->Place;
      rows.push_back("place " + std::to_string(p.LineNumber) + ": " + p.Latitude + "|" +
                     p.Longitude + "|" + p.Name + "|" + p.Zoom);
    } else {
      rows.push_back("error " + std::to_string(row->Error->LineNumber) + ": " + row->Error->Reason);
    }
  }
  return rows;
}

TEST(BatchList, ReadsPlacesWithOptionalNameAndZoomAndSkipsHeaderCommentsAndBlanks) {
  EXPECT_EQ(
      Rows("lat,lon,name,zoom\r\n"
           "# the tower\n"
           "48.8583701, 2.2944813 ,tower,4\r\n"
           "\n"
           "  \t\n"
           "-33.85,151.2\n"
           "40.1,-3.7,madrid\n"
           "1,2,,5"),
      (std::vector<std::string>{"place 3: 48.8583701|2.2944813|tower|4", "place 6: -33.85|151.2||",
                                "place 7: 40.1|-3.7|madrid|", "place 8: 1|2||5"}));
}

// Places copied from a browser: a map link or a "lat, lon" pair in quotes (both hold commas),
// and quoted names, as spreadsheets write them.
TEST(BatchList, AQuotedMapLinkOrPairNamesThePlace) {
  EXPECT_EQ(
      Rows("\"https://www.google.com/maps/@48.8583701,2.2944813,3a,75y,90t/data=!3m6\","
           "tower,3\n"
           "\"-33.85, 151.2\"\n"
           "40.1,-3.7,\"Gran Via, \"\"Madrid\"\"\"\n"
           "https://www.google.com/maps/@48.85,2.29,3a,75y,90t\n"),
      (std::vector<std::string>{"place 1: 48.8583701|2.2944813|tower|3", "place 2: -33.85|151.2||",
                                "place 3: 40.1|-3.7|Gran Via, \"Madrid\"|",
                                // Unquoted, its commas make five fields, the first no number.
                                "error 4: latitude and longitude must be numbers"}));
}

TEST(BatchList, BadRowsAreReportedWithTheirLineAndTheListGoesOn) {
  const std::string longRow(MaxBatchRowBytes + 10, '1');
  EXPECT_EQ(
      Rows("48,2\n"
           "lat,lon\n"  // not the first row: no header any more
           "48\n"
           "1,2,three,4,2019-07,six\n"
           "1,2,../escape\n"
           "1,2,bell\x07\n"
           "1,2,csi\xc2\x9b"
           "31m\n" +
           longRow +
           "\n"
           "3,4\n"),
      (std::vector<std::string>{
          "place 1: 48|2||", "error 2: latitude and longitude must be numbers",
          "error 3: expected lat,lon[,name[,zoom[,date]]]",
          "error 4: expected lat,lon[,name[,zoom[,date]]]",
          "error 5: the name cannot be a file name", "error 6: the name cannot be a file name",
          "error 7: the name cannot be a file name", "error 8: the row is too long",
          "place 9: 3|4||"}));
}

// A fifth column asks for the capture of that month; empty, the newest.
TEST(BatchList, ADateColumnAsksForTheCaptureOfThatMonth) {
  const std::vector<std::pair<std::string, std::optional<CaptureMonth>>> dated{
      {"48.85,2.29,tower,3,2015-03", CaptureMonth{2015, 3}},
      {"48.85,2.29,,,2009-12", CaptureMonth{2009, 12}},
      {"\"48.85, 2.29\",tower,3,2011-01", CaptureMonth{2011, 1}},
      {"48.85,2.29,tower,3,", std::nullopt},
      {"48.85,2.29", std::nullopt},
  };
  for (const auto& [row, date] : dated) {
    SCOPED_TRACE(row);
    std::istringstream in(row);
    BatchListReader reader(in);
    const auto read = reader.Next();
    ASSERT_TRUE(read && read->Place);
    EXPECT_EQ(read->Place->Date, date);
  }
  for (const std::string bad : {"2015-13", "2015-3", "March 2015", "2015-03-01"}) {
    EXPECT_EQ(Rows("1,2,n,3," + bad + "\n"),
              (std::vector<std::string>{"error 1: the date must be YYYY-MM"}))
        << bad;
  }
}

// A coordinate is a number and nothing more: text after it would reach the default task name
// "<lat>_<lon>", a file name in the save folder.
TEST(BatchList, CoordinatesWithAnythingBesideTheNumberAreBadRows) {
  const std::string bad = "latitude and longitude must be numbers";
  const std::vector<std::pair<std::string, std::string>> cases{
      {"./../../outside/pwn,2.2945", "error 2: " + bad},
      {"48.85,2.29/../../x", "error 2: " + bad},
      {"48.8abc,2", "error 2: " + bad},
      {"48,2 east", "error 2: " + bad},
      {"1e5,2", "error 2: " + bad},
      {"--1,2", "error 2: " + bad},
      {"1.2.3,4", "error 2: " + bad},
      {".,2", "error 2: " + bad},
      {"+48.5,-2.25", "place 2: +48.5|-2.25||"},
      {".5,-.25", "place 2: .5|-.25||"},
      {"48.,2", "place 2: 48.|2||"},
  };
  for (const auto& [row, expected] : cases) {
    SCOPED_TRACE(row);
    EXPECT_EQ(Rows("1,2\n" + row + "\n"), (std::vector<std::string>{"place 1: 1|2||", expected}));
  }
}

// Editors that save UTF-8 with a byte order mark put it before the first row.
TEST(BatchList, AByteOrderMarkKeepsTheFirstPlace) {
  EXPECT_EQ(Rows("\xEF\xBB\xBF"
                 "48.85,2.29\n1,2\n"),
            (std::vector<std::string>{"place 1: 48.85|2.29||", "place 2: 1|2||"}));
  EXPECT_EQ(Rows("\xEF\xBB\xBF"
                 "lat,lon\n1,2\n"),
            (std::vector<std::string>{"place 2: 1|2||"}));
  EXPECT_EQ(Rows("1,2\n\xEF\xBB\xBF"
                 "3,4\n"),
            (std::vector<std::string>{"place 1: 1|2||",
                                      "error 2: latitude and longitude must be numbers"}));
}

TEST(BatchList, ATaskIsNamedAfterItsPlaceWhenTheRowHasNoName) {
  EXPECT_EQ(BatchTaskName({1, "48.85", "2.29", "", ""}), "48.85_2.29");
  EXPECT_EQ(BatchTaskName({1, "48.85", "2.29", "eiffel", ""}), "eiffel");
}

}  // namespace
}  // namespace korvane::test
