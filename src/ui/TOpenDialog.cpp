#include "ui/TOpenDialog.h"

#include "platform/Exception.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"

namespace korvane {

TOpenDialog::TOpenDialog(TForm* form, std::string name) : TComponent(form, std::move(name)) {
  if (!form) throw Exception("A file dialog needs a form: " + Name());
}

bool TOpenDialog::Execute() {
  std::optional<std::string> chosen =
      OwnerForm()->App().Dialogs().OpenFile({.Title = Title,
                                             .Filter = Filter,
                                             .FilterIndex = FilterIndex,
                                             .InitialDir = InitialDir,
                                             .FileName = FileName});
  if (!chosen) return false;
  FileName = *chosen;
  return true;
}

}  // namespace korvane
