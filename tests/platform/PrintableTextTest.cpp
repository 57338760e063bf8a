#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/PrintableText.h"

namespace korvane {
namespace {

TEST(PrintableText, ControlCharactersFromOutsideAreReplacedAndTheRestKept) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"404 Not Found", "404 Not Found"},
      {"", ""},
      {"\x1b[2J\x1b]0;pwned\x07", "?[2J?]0;pwned?"},  // ESC, OSC, BEL
      {"ok\rFAKE LINE\n", "ok?FAKE LINE?"},           // CR, LF
      {std::string("a\0b\tc\x7f", 6), "a?b?c?"},      // NUL, tab, DEL
      {"\xc2\x9b"
       "31m red \xc2\x9d"
       "0;x",
       "?31m red ?0;x"},  // C1 CSI and OSC in UTF-8
      {"Caf\xc3\xa9 \xc2\xa0 \xe2\x82\xac", "Caf\xc3\xa9 \xc2\xa0 \xe2\x82\xac"},  // letters stay
      {"\xc2", "\xc2"},  // a lone lead byte is no control
  };
  for (const auto& [outside, printed] : cases) {
    EXPECT_EQ(PrintableText(outside), printed) << outside;
    EXPECT_EQ(IsPrintableText(outside), outside == printed) << outside;
  }
}

}  // namespace
}  // namespace korvane
