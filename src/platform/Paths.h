#pragma once

#include <string>

namespace korvane {

inline constexpr char PathDelim = '/';

// Everything up to and including the last "/" (empty when there is none).
std::string ExtractFilePath(const std::string& path);

// Everything after the last "/".
std::string ExtractFileName(const std::string& path);

// The part from the last "." on, dot included, provided no "/" follows that dot; else empty.
std::string ExtractFileExt(const std::string& path);

// The path with its extension (as ExtractFileExt finds it) cut off.
std::string RemoveFileExt(const std::string& path);

// The text with "/" appended when its last character is not "/" (an empty text stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& path);

// The text with one trailing "/" removed, except for the root "/" itself.
std::string ExcludeTrailingPathDelimiter(const std::string& path);

}  // namespace korvane
