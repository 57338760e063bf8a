#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui/TForm.h"

namespace korvane::test {

// Every control of the form has a size and lies wholly inside its container, so the window
// the peers draw from the model shows all of it. Returns the failures as one text (empty when
// the layout is sound).
inline std::string LayoutFaults(const TForm& form) {
  std::string faults;
  for (const TComponent* component : form.Components()) {
    const auto* control = dynamic_cast<const TControl*>(component);
    if (!control || !control->Visible() || !control->Parent()) continue;
    const TControl& parent = *control->Parent();
    const TRect& r = control->BoundsRect();
    if (r.Width() <= 0 || r.Height() <= 0 || r.Left < 0 || r.Top < 0 || r.Right > parent.Width() ||
        r.Bottom > parent.Height()) {
      faults += control->Name() + " at " + std::to_string(r.Left) + "," + std::to_string(r.Top) +
                " size " + std::to_string(r.Width()) + "x" + std::to_string(r.Height()) +
                " does not fit " + parent.Name() + " (" + std::to_string(parent.Width()) + "x" +
                std::to_string(parent.Height()) + ")\n";
    }
  }
  return faults;
}

}  // namespace korvane::test
