#pragma once

#include <string>

namespace korvane {

// The folder that holds the running executable, with a trailing "/": the base of every file the
// program keeps for itself (ini/, help/, blankimg/). Thread-safe.
std::string ProgramFolder();

// Points the program folder elsewhere (tests use a temporary copy). An empty text restores the
// executable's own folder. A missing trailing "/" is added.
void SetProgramFolder(const std::string& folder);

// ProgramFolder() + "ini/config.ini".
std::string ConfigFilePath();

// The user's home folder without a trailing "/" ($HOME, else the password database, else "/").
std::string HomeFolder();

}  // namespace korvane
