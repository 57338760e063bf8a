#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// One row of a comma-separated list as spreadsheets write it, read and written in one place.
//
// Reading: fields are separated by commas; a field whose first non-blank character is a double
// quote is quoted: it runs to the closing quote, may hold commas (a map link does) and doubled
// quotes (one quote each), and whatever follows the closing quote up to the next comma is kept
// after it. A quote elsewhere is an ordinary character. Each field loses the blanks at its ends.
// There is always at least one field.
std::vector<std::string> SplitCsvRow(std::string_view line);

// Writing: the fields joined by commas, a field quoted (its quotes doubled) when it holds a
// comma, a quote or a line break. What SplitCsvRow reads back as the same fields, as long as no
// field has blanks at its ends.
std::string JoinCsvRow(const std::vector<std::string>& fields);

}  // namespace korvane
