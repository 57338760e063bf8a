#pragma once

#include <string>

#include "ui/TComponent.h"

namespace korvane {

// The file-open dialog of a form, shown through the application's dialog service.
class TOpenDialog : public TComponent {
 public:
  TOpenDialog(TForm* form, std::string name);

  std::string Title;
  // "Description|patterns|...", for example "Projects(*.krvn)|*.krvn".
  std::string Filter;
  // The entry of Filter selected first, from 1.
  int FilterIndex = 1;
  std::string InitialDir;
  // The chosen file after Execute returned true; also the name proposed when the dialog opens.
  std::string FileName;

  // Shows the dialog; true with FileName set when the user chose a file, false (FileName
  // unchanged) when they cancelled.
  bool Execute();
};

}  // namespace korvane
