#include "settings/PickFolder.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace korvane {

std::optional<std::string> PickFolder(TDialogService& dialogs, const std::string& title,
                                      const std::string& startFolder) {
  const std::string preselected =
      !startFolder.empty() && DirectoryExists(startFolder) ? startFolder : std::string();
  std::optional<std::string> chosen = dialogs.PickFolder(title, preselected);
  // The callers put the path straight into a box that later becomes a folder prefix, so the
  // form without a trailing "/" is the one promised, whatever the desktop's chooser returns.
  if (chosen) *chosen = ExcludeTrailingPathDelimiter(*chosen);
  return chosen;
}

}  // namespace korvane
