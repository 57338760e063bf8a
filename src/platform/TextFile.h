#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace korvane {

using TStringList = std::vector<std::string>;

// Splits text into lines at CR LF, CR or LF. A line end at the very end adds no empty line;
// an empty text has no lines.
TStringList SplitLines(std::string_view text);

// The lines joined, each one followed by CR LF (the last one included).
std::string JoinLines(const TStringList& lines);

// Reads a text file as lines; raises FileOpenError ("Cannot open file " + path).
TStringList LoadLines(const std::string& path);

// Writes the lines over the file, each ending in CR LF, through a temporary file renamed into
// place (a killed program leaves the old file or the new one, never half of one); raises
// FileCreateError ("Cannot create file " + path). A new file gets the mode of `access`.
void SaveLines(const std::string& path, const TStringList& lines,
               NewFileAccess access = NewFileAccess::Shared);

}  // namespace korvane
