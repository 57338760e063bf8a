#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {
namespace {

TEST(FloatToStr, GeneralFormatDropsTrailingZeros) {
  EXPECT_EQ(FloatToStr(48.5), "48.5");
  EXPECT_EQ(FloatToStr(40.10), "40.1");
  EXPECT_EQ(FloatToStr(2.25), "2.25");
  EXPECT_EQ(FloatToStr(121), "121");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(-72.5), "-72.5");
  EXPECT_EQ(FloatToStr(-0.0), "0");
}

TEST(FloatToStr, AtMostFifteenSignificantDigits) {
  EXPECT_EQ(FloatToStr(48.8566), "48.8566");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToStr(static_cast<double>(40.712776f)), "40.712776184082");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
}

TEST(FloatToStr, ExponentFormBelowOneHundredThousandthAndForHugeValues) {
  EXPECT_EQ(FloatToStr(0.00001), "0.00001");
  EXPECT_EQ(FloatToStr(0.000001), "1E-6");
  EXPECT_EQ(FloatToStr(-0.0000015), "-1.5E-6");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(1.5e20), "1.5E20");
  EXPECT_EQ(FloatToStr(0.000277777784503996), "0.000277777784503996");
}

TEST(FloatToStr, UsesTheUsersDecimalSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(FloatToStr(48.5), "48,5");
  EXPECT_EQ(FloatToStr(1.5e-6), "1,5E-6");
  EXPECT_EQ(FloatToStr(3), "3");
  EXPECT_EQ(CAtof("48.5"), 48.5) << "the C-library conversion always reads a point";
  SetDecimalSeparator('\0');
  EXPECT_EQ(FloatToStr(48.5), "48.5");
}

TEST(StrToInt, AcceptsBlanksSignsDecimalAndHex) {
  EXPECT_EQ(StrToInt("3"), 3);
  EXPECT_EQ(StrToInt("  -17"), -17);
  EXPECT_EQ(StrToInt("+5"), 5);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("x10"), 16);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
}

TEST(StrToInt, RefusesEverythingElseWithTheConversionMessage) {
  for (const char* text : {"", " ", "3 ", "40.5", "4,5", "abc", "0x", "$", "2147483648", "-"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), std::string("'") + text + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(StrToIntDef("word", 7), 7);
}

TEST(CAtof, TakesTheLongestLeadingNumber) {
  EXPECT_DOUBLE_EQ(CAtof("48.8566"), 48.8566);
  EXPECT_DOUBLE_EQ(CAtof("  -12.5abc"), -12.5);
  EXPECT_DOUBLE_EQ(CAtof("1.234.5"), 1.234);
  EXPECT_DOUBLE_EQ(CAtof("12,5"), 12);
  EXPECT_DOUBLE_EQ(CAtof("1e3x"), 1000);
  EXPECT_DOUBLE_EQ(CAtof("1e"), 1);
  EXPECT_DOUBLE_EQ(CAtof(".5"), 0.5);
  EXPECT_DOUBLE_EQ(CAtof("+3"), 3);
  EXPECT_EQ(CAtof(""), 0);
  EXPECT_EQ(CAtof("letters"), 0);
  EXPECT_EQ(CAtof("nan"), 0) << "only decimal numbers, no NaN that would slip past range checks";
  EXPECT_EQ(CAtof("inf"), 0);
}

}  // namespace
}  // namespace korvane
