#pragma once

#include <string>
#include <vector>

namespace korvane {

// One entry of a file dialog's filter: the text the user sees and the name patterns it
// selects ("*.krvn"; several are separated by ";").
struct TFilterEntry {
  std::string Description;
  std::vector<std::string> Patterns;

  bool operator==(const TFilterEntry&) const = default;
};

// Splits a filter of the form "Description|patterns|Description|patterns..." (for example
// "Projects(*.krvn)|*.krvn"). A description without its patterns selects every file ("*").
std::vector<TFilterEntry> ParseDialogFilter(const std::string& filter);

}  // namespace korvane
