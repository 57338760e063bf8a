#pragma once

#include <string_view>

namespace korvane {

// Whether the JSON text opens more than `limit` arrays or objects inside one another. Brackets
// inside strings do not count; the text need not be valid JSON (the parser judges that). Outside
// JSON is checked with it before a tree is built, so no answer or file can nest without end.
bool NestsDeeperThan(std::string_view text, int limit);

}  // namespace korvane
