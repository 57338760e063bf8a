#pragma once

#include <string_view>

namespace korvane {

// The longest panorama id the program accepts. Ids are not always 22 characters long, but an id
// goes into tile addresses, file names and the task file, so one that could be anything else
// than an id is refused.
inline constexpr std::size_t MaxPanoIdLength = 200;

// True when the id is 1 to MaxPanoIdLength characters of A-Z, a-z, 0-9, "-" and "_": safe in
// an address, a file name and an INI line without any escaping.
bool IsUsablePanoId(std::string_view id);

}  // namespace korvane
