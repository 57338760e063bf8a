#pragma once

#include <string>

namespace korvane {

// The folder that holds the running executable, with a trailing "/": the base of every file the
// program ships beside itself (ini/, help/, blankimg/). Thread-safe.
std::string ProgramFolder();

// Points the program folder elsewhere (tests use a temporary copy). An empty text restores the
// executable's own folder. A missing trailing "/" is added.
void SetProgramFolder(const std::string& folder);

// Where the program writes for its user, with a trailing "/". A program folder whose ini/ the
// user may write (a portable copy, a build's bin/) keeps everything in that ini/. An installed
// program folder is not the user's to write, so settings go to $XDG_CONFIG_HOME/korvane/ (by
// default ~/.config/korvane/) and what can be fetched again (the lookup's answer) to
// $XDG_CACHE_HOME/korvane/ (by default ~/.cache/korvane/). These are the only two deciders;
// the relocated folder is created on first use (a failure shows when a file is written there).
std::string SettingsFolder();
std::string CacheFolder();

// Creates a relocated user folder (its parents as usual) readable by its owner only (0700), and
// makes an existing one of the user's own so: what it holds shows where the user looked and
// the proxy password. Failures show when a file is written there.
void MakeUserFolder(const std::string& folder);

// SettingsFolder() + "config.ini".
std::string ConfigFilePath();

// The user's home folder without a trailing "/" ($HOME, else the password database, else "/").
std::string HomeFolder();

// The rule behind SettingsFolder() and CacheFolder() with every fact passed in, for tests:
// programFolder ends with "/"; xdgValue is the variable's value (null when unset), used only
// when it is an absolute path; homeFallback is the folder under home used otherwise.
std::string ChooseUserFolder(const std::string& programFolder, bool iniWritable,
                             const char* xdgValue, const std::string& home,
                             const std::string& homeFallback);

}  // namespace korvane
