#include <gtest/gtest.h>

#include "platform/CsvRow.h"

namespace korvane {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase {
  const char* Line;
  Fields Expected;
};

TEST(CsvRow, SplitsAsSpreadsheetsWriteLists) {
  const SplitCase cases[] = {
      {"", {""}},
      {"48.1,11.5", {"48.1", "11.5"}},
      {" 48.1 ,\t11.5\t, home ", {"48.1", "11.5", "home"}},
      {"a,,b,", {"a", "", "b", ""}},
      {R"("https://maps/@48.1,11.5,3a",x)", {"https://maps/@48.1,11.5,3a", "x"}},
      {R"(  "a ""b"" c"  ,d)", {R"(a "b" c)", "d"}},
      {R"("quoted" tail,d)", {"quoted tail", "d"}},
      {R"(x"y,z")", {R"(x"y)", R"(z")"}},  // a quote inside a field is a character
      {R"("never closed, at all)", {"never closed, at all"}},
      {R"("ends on a quote"")", {R"(ends on a quote")"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.Line);
    EXPECT_EQ(SplitCsvRow(c.Line), c.Expected);
  }
}

TEST(CsvRow, JoinQuotesOnlyWhatNeedsItAndSplitReadsItBack) {
  const Fields fields = {"line 3: home", "", "a,b", R"(say "hi")", "two\r\nlines", "12"};
  const std::string line = JoinCsvRow(fields);
  EXPECT_EQ(line, "line 3: home,,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",12");
  EXPECT_EQ(SplitCsvRow(line), fields);
  EXPECT_EQ(JoinCsvRow({}), "");
}

}  // namespace
}  // namespace korvane
