#pragma once

#include <string_view>

namespace korvane {

// The two kinds of padding the program's texts meet. Blanks (space and tab) pad the fields of
// one line: a header value, an INI entry, a field of a list. White space adds the line breaks,
// form feed and vertical tab (what C's isspace means in the "C" locale), for a text that may
// span lines or be pasted from elsewhere: a service's answer, a place typed or copied.
bool IsBlank(char c);
bool IsSpace(char c);

// The text without the blanks (or all white space) at both ends; a view into text.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimSpace(std::string_view text);

}  // namespace korvane
