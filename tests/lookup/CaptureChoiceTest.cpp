#include <gtest/gtest.h>

#include "lookup/CaptureChoice.h"

namespace korvane::test {
namespace {

PanoramaRecord Place() {
  PanoramaRecord record;
  record.PanoId = "Newest";
  record.Date = CaptureMonth{2019, 7};
  record.OtherDates = {{"Middle", CaptureMonth{2015, 3}},
                       {"Undated", std::nullopt},
                       {"Oldest", CaptureMonth{2009, 11}}};
  return record;
}

TEST(CaptureChoice, ThatMonthElseTheNearestTheNewerOnATie) {
  const struct {
    CaptureMonth Wanted;
    std::string Id;
    bool Exact;
  } cases[] = {
      {{2015, 3}, "Middle", true},  {{2019, 7}, "Newest", true},  {{2015, 4}, "Middle", false},
      {{2024, 1}, "Newest", false}, {{2001, 1}, "Oldest", false}, {{2012, 7}, "Middle", false},
      {{2017, 5}, "Newest", false},  // 26 months from both: the newer
      {{2012, 6}, "Oldest", false},  // 31 months to 2009-11, 33 to 2015-03
  };
  for (const auto& c : cases) {
    const auto choice = ChooseCapture(Place(), c.Wanted);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->PanoId, c.Id) << c.Wanted.Year << "-" << c.Wanted.Month;
    EXPECT_EQ(choice->Exact, c.Exact) << c.Wanted.Year << "-" << c.Wanted.Month;
  }
}

TEST(CaptureChoice, NoDatesNoChoice_AndTheLinesSayWhatWasTaken) {
  PanoramaRecord undated;
  undated.PanoId = "Only";
  EXPECT_FALSE(ChooseCapture(undated, {2015, 3}));
  EXPECT_EQ(CaptureChoiceLine(std::nullopt, {2015, 3}),
            "No capture dates are known at this place; taking the panorama found.");
  EXPECT_EQ(CaptureChoiceLine(ChooseCapture(Place(), {2015, 3}), {2015, 3}),
            "Capture of 2015-03: Middle");
  EXPECT_EQ(CaptureChoiceLine(ChooseCapture(Place(), {2015, 5}), {2015, 5}),
            "No capture of 2015-05 at this place; taking the nearest, 2015-03: Middle");
}

}  // namespace
}  // namespace korvane::test
