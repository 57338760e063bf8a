#pragma once

#include <optional>
#include <string>

#include "ui/TDialogService.h"

namespace korvane {

// The modal folder chooser of the main window's folder button and the Options window: shows
// the desktop's folder browser with title as the text above it, only folders selectable, and
// startFolder preselected when it is not empty and exists (a folder that has gone since is
// simply not preselected). Returns the chosen folder's full path without a trailing "/" (except
// for the root "/"), or nothing when the user cancels: the caller then leaves its text alone.
std::optional<std::string> PickFolder(TDialogService& dialogs, const std::string& title,
                                      const std::string& startFolder);

}  // namespace korvane
