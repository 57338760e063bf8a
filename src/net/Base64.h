#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Standard Base64 (alphabet A-Z a-z 0-9 + /) with "=" padding and no line breaks.
std::string Base64Encode(std::string_view bytes);

}  // namespace korvane
