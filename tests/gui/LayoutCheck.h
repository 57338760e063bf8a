#pragma once

#include <QStringList>

namespace korvane {
class TForm;
}

namespace korvane::test {

// What a user would see as broken in a form's window: a control that overlaps a sibling, one
// that sticks out of its container, or a text (caption, label, title) cut off by its control's
// size in the font the window really uses. One line per problem; empty when the window is fine.
// Only the form's own controls are looked at, and only those that are shown.
QStringList LayoutProblems(const TForm& form);

}  // namespace korvane::test
