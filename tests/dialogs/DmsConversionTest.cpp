#include <gtest/gtest.h>

#include "dialogs/DmsConversion.h"

namespace korvane {
namespace {

TEST(DmsConversion, SinglePrecisionShowsInTheLastDigits) {
  EXPECT_EQ(ConvertDegreesMinutesSeconds("40", "42", "46"), "40.712776184082");
  EXPECT_EQ(ConvertDegreesMinutesSeconds("0", "0", "1"), "0.000277777784503996");
  EXPECT_EQ(ConvertDegreesMinutesSeconds("121", "0", "0"), "121");
}

TEST(DmsConversion, MinutesAndSecondsAreAlwaysAdded) {
  EXPECT_EQ(ConvertDegreesMinutesSeconds("-73", "30", "0"), "-72.5");
  EXPECT_EQ(ConvertDegreesMinutesSeconds("0", "90", "0"), "1.5");
}

TEST(DmsConversion, SecondsTakeTheLeadingNumberOrZero) {
  EXPECT_EQ(ConvertDegreesMinutesSeconds("0", "0", "12.5"),
            ConvertDegreesMinutesSeconds("0", "0", "12.5xyz"));
  EXPECT_EQ(ConvertDegreesMinutesSeconds("0", "0", "12,5"),
            ConvertDegreesMinutesSeconds("0", "0", "12"));
  EXPECT_EQ(ConvertDegreesMinutesSeconds("5", "0", "abc"), "5");
  EXPECT_EQ(ConvertDegreesMinutesSeconds("5", "0", ""), "5");
}

TEST(DmsConversion, BadDegreesOrMinutesGiveNothing) {
  EXPECT_FALSE(ConvertDegreesMinutesSeconds("40.5", "0", "0"));
  EXPECT_FALSE(ConvertDegreesMinutesSeconds("", "0", "0"));
  EXPECT_FALSE(ConvertDegreesMinutesSeconds("40", "1 ", "0"));
  EXPECT_FALSE(ConvertDegreesMinutesSeconds("40", "x", "0"));
}

}  // namespace
}  // namespace korvane
