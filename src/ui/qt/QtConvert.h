#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "ui/UiTypes.h"

class QWidget;

namespace korvane {

// Texts are UTF-8 in the model.
inline QString ToQString(const std::string& text) {
  return QString::fromUtf8(text);
}
inline std::string FromQString(const QString& text) {
  return text.toUtf8().toStdString();
}

// The model's font as a Qt font: its family where installed, else the desktop's sans-serif.
QFont ToQFont(const TFont& font);

// A fixed colour, or the desktop's colour for a system colour; invalid for clDefault.
QColor ToQColor(TColor color);

// Gives the widget the model's font colour (text roles) and background colour (base and
// window roles; clDefault keeps the container's).
void ApplyColors(QWidget& widget, const TFont& font, TColor background);

}  // namespace korvane
