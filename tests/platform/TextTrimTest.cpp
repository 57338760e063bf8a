#include <gtest/gtest.h>

#include "platform/TextTrim.h"

namespace korvane {
namespace {

struct TrimCase {
  const char* Text;
  const char* Blanks;  // TrimBlanks' answer
  const char* Space;   // TrimSpace's answer
};

TEST(TextTrim, BlanksAreSpaceAndTabWhiteSpaceAddsTheLineBreaks) {
  const TrimCase cases[] = {
      {"", "", ""},
      {" \t ", "", ""},
      {"  a b  ", "a b", "a b"},
      {"\ta,b\t", "a,b", "a,b"},
      {"\r\n48.1, 11.5\r\n", "\r\n48.1, 11.5\r\n", "48.1, 11.5"},
      {" \f\vx\v\f ", "\f\vx\v\f", "x"},
      {"\xa0x\xa0", "\xa0x\xa0", "\xa0x\xa0"},  // a byte of UTF-8 is no white space
  };
  for (const TrimCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TrimBlanks(c.Text), c.Blanks);
    EXPECT_EQ(TrimSpace(c.Text), c.Space);
  }
}

TEST(TextTrim, IsSpaceMatchesTheCLocalesIsspace) {
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(IsSpace(static_cast<char>(c)), c == ' ' || (c >= '\t' && c <= '\r'));
    EXPECT_EQ(IsBlank(static_cast<char>(c)), c == ' ' || c == '\t');
  }
}

}  // namespace
}  // namespace korvane
