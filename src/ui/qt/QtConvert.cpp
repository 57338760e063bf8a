#include "ui/qt/QtConvert.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace korvane {

QFont ToQFont(const TFont& font) {
  QString family = ToQString(font.Name);
  if (!QFontDatabase::hasFamily(family)) {
    family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }
  QFont result(family);
  if (font.Height > 0) result.setPixelSize(font.Height);
  result.setBold(font.Bold);
  result.setUnderline(font.Underline);
  return result;
}

QColor ToQColor(TColor color) {
  if (!IsSystemColor(color)) {
    return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
  }
  QPalette palette = QApplication::palette();
  switch (color) {
    case clWindowText:
      return palette.color(QPalette::WindowText);
    case clWindow:
      return palette.color(QPalette::Base);
    case clBtnFace:
      return palette.color(QPalette::Button);
    case clInfoBk:
      return palette.color(QPalette::ToolTipBase);
    case clInfoText:
      return palette.color(QPalette::ToolTipText);
    default:
      return QColor();
  }
}

void ApplyColors(QWidget& widget, const TFont& font, TColor background) {
  // Only the roles set here override what the widget inherits from its container.
  QPalette palette;
  QColor text = font.Color == clDefault ? ToQColor(clWindowText) : ToQColor(font.Color);
  QPalette desktop = QApplication::palette();
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::ButtonText,
                   font.Color == clWindowText ? desktop.color(QPalette::ButtonText) : text);
  palette.setColor(QPalette::Text,
                   font.Color == clWindowText ? desktop.color(QPalette::Text) : text);
  QColor back = ToQColor(background);
  if (back.isValid()) {
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Window, back);
  }
  widget.setPalette(palette);
  widget.setAutoFillBackground(back.isValid());
}

}  // namespace korvane
