#pragma once

#include <string>
#include <string_view>

namespace korvane {

// True when a regular file (or a link to one) exists at the path.
bool FileExists(const std::string& path);

// True when a folder exists at the path.
bool DirectoryExists(const std::string& path);

// Creates one folder level (the parent must exist). False when it cannot be created; an
// existing folder counts as a failure too, as the callers test for existence first.
bool CreateDir(const std::string& path);

// Copies a file. With failIfExists an existing destination is left alone and false returned.
// The copy goes through a temporary name beside the destination, so a reader never sees half
// a file under the destination's name. Returns whether the copy was made.
bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists);

// Reads a whole file; raises FileOpenError ("Cannot open file " + path) when it cannot.
std::string ReadFileBytes(const std::string& path);

// Writes a whole file, creating or replacing it; raises FileCreateError ("Cannot create file " +
// path) when it cannot be created or fully written.
void WriteFileBytes(const std::string& path, std::string_view bytes);

// As WriteFileBytes, but the bytes go to a temporary file in the same folder first, which is
// then renamed over the path: a killed program never leaves half a file under the path's name.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Removes a file; false when there was none or it could not be removed.
bool DeleteFile(const std::string& path);

}  // namespace korvane
