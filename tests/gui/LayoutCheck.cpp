#include "LayoutCheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "ui/TForm.h"
#include "ui/qt/QtPeerFactory.h"

namespace korvane::test {
namespace {

// Room a push button needs around its caption (frame and padding on each side) and a group
// box beside its title.
constexpr int ButtonTextMargin = 4;
constexpr int GroupBoxTitleMargin = 8;

QString Name(const QWidget* widget) {
  return widget->objectName();
}

// A caption as drawn: the access-key marks are not shown ("&&" shows one "&").
QString Shown(QString caption) {
  caption.replace("&&", "\x01");
  caption.remove('&');
  caption.replace("\x01", "&");
  return caption;
}

void CheckText(QWidget* widget, QStringList& problems) {
  const QFontMetrics metrics(widget->font());
  auto cut = [&](const QString& what) { problems << Name(widget) + ": " + what; };
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (label->text().isEmpty()) return;
    if (label->wordWrap()) {
      if (label->heightForWidth(label->width()) > label->height()) cut("wrapped text cut off");
    } else {
      const int advance = metrics.horizontalAdvance(label->text());
      if (advance > label->width()) {
        cut(QString("text cut off (%1 of %2 pixels)").arg(label->width()).arg(advance));
      }
      if (metrics.height() > label->height()) cut("text cut off at the bottom");
    }
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    if (check->sizeHint().width() > check->width()) cut("caption cut off");
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    const int needed = metrics.horizontalAdvance(Shown(button->text())) + 2 * ButtonTextMargin;
    if (needed > button->width()) cut("caption cut off");
    if (metrics.height() > button->height()) cut("caption cut off at the bottom");
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    if (metrics.horizontalAdvance(group->title()) + GroupBoxTitleMargin > group->width()) {
      cut("title cut off");
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (metrics.height() > edit->contentsRect().height()) cut("text cut off at the bottom");
  }
}

}  // namespace

QStringList LayoutProblems(const TForm& form) {
  QStringList problems;
  QWidget* window = WidgetOf(form);
  if (!window) return {"the form has no window"};

  std::vector<QWidget*> shown;
  for (TComponent* component : form.Components()) {
    auto* control = dynamic_cast<TControl*>(component);
    QWidget* widget = control ? WidgetOf(*control) : nullptr;
    if (widget && widget->isVisibleTo(window)) shown.push_back(widget);
  }

  for (size_t i = 0; i < shown.size(); ++i) {
    QWidget* widget = shown[i];
    CheckText(widget, problems);
    QWidget* container = widget->parentWidget();
    if (container && !container->rect().contains(widget->geometry())) {
      problems << Name(widget) + ": sticks out of " + Name(container);
    }
    for (size_t j = i + 1; j < shown.size(); ++j) {
      QWidget* other = shown[j];
      if (other->parentWidget() == container && widget->geometry().intersects(other->geometry())) {
        const QRect common = widget->geometry().intersected(other->geometry());
        problems << QString("%1 overlaps %2 by %3 x %4")
                        .arg(Name(widget), Name(other))
                        .arg(common.width())
                        .arg(common.height());
      }
    }
  }
  return problems;
}

}  // namespace korvane::test
