#include "ui/qt/QtInputPeers.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/qt/QtConvert.h"

namespace korvane {

void QtClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    label_.UserClick();
  }
}

void QtLineEdit::keyPressEvent(QKeyEvent* event) {
  const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
  if (arrow && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      edit_.UserArrowKey(event->key() == Qt::Key_Up)) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

QtLabelPeer::QtLabelPeer(TLabel& label, QWidget* parent)
    : QtControlPeer(label, new QtClickableLabel(label, parent)), label_(label) {
  Label()->setTextFormat(Qt::PlainText);
  Label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void QtLabelPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      Label()->setText(ToQString(label_.Caption()));
      ApplyBounds();
      break;
    case TChange::Font:
      ApplyBounds();
      break;
    case TChange::Style:
      Label()->setWordWrap(label_.WordWrap());
      ApplyBounds();
      break;
    default:
      break;
  }
}

void QtLabelPeer::ApplyBounds() {
  if (label_.AutoSize()) {
    // Sized to its text, from its top-left corner.
    Label()->move(label_.Left(), label_.Top());
    Label()->adjustSize();
  } else {
    QtControlPeer::ApplyBounds();
  }
}

QtEditPeer::QtEditPeer(TEdit& edit, QWidget* parent)
    : QtControlPeer(edit, new QtLineEdit(edit, parent)), edit_(edit) {
  LineEdit()->setEchoMode(QLineEdit::Normal);
  QObject::connect(LineEdit(), &QLineEdit::textEdited, [this](const QString& text) {
    if (!edit_.UserType(FromQString(text))) Update(TChange::Text);  // refused: show the model's
  });
}

void QtEditPeer::Update(TChange what) {
  switch (what) {
    case TChange::Text: {
      QString text = ToQString(edit_.Text());
      if (LineEdit()->text() != text) LineEdit()->setText(text);
      break;
    }
    case TChange::ReadOnly:
      LineEdit()->setReadOnly(edit_.ReadOnly());
      break;
    case TChange::Style:
      LineEdit()->setEchoMode(edit_.PasswordEcho() ? QLineEdit::Password : QLineEdit::Normal);
      break;
    default:
      break;
  }
}

QtButtonPeer::QtButtonPeer(TButton& button, QWidget* parent)
    : QtControlPeer(button, new QPushButton(parent)), button_(button) {
  // Enter is the form's business (its default button), not the focused button's auto-default.
  Button()->setAutoDefault(false);
  QObject::connect(Button(), &QPushButton::clicked, [this] { button_.UserClick(); });
}

void QtButtonPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      Button()->setText(ToQString(button_.Caption()));
      break;
    case TChange::Default:
      Button()->setDefault(button_.Default());
      break;
    default:
      break;
  }
}

QtRadioButtonPeer::QtRadioButtonPeer(TRadioButton& radioButton, QWidget* parent)
    : QtControlPeer(radioButton, new QRadioButton(parent)), radioButton_(radioButton) {
  RadioButton()->setAutoExclusive(false);
  QObject::connect(RadioButton(), &QRadioButton::clicked, [this](bool) {
    if (!radioButton_.Checked()) radioButton_.UserClick();
    Update(TChange::Checked);  // shows the model's state, also when the click was refused
  });
}

void QtRadioButtonPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      RadioButton()->setText(ToQString(radioButton_.Caption()));
      break;
    case TChange::Checked:
      if (RadioButton()->isChecked() != radioButton_.Checked()) {
        QSignalBlocker block(RadioButton());
        RadioButton()->setChecked(radioButton_.Checked());
      }
      break;
    default:
      break;
  }
}

QtCheckBoxPeer::QtCheckBoxPeer(TCheckBox& checkBox, QWidget* parent)
    : QtControlPeer(checkBox, new QCheckBox(parent)), checkBox_(checkBox) {
  QObject::connect(CheckBox(), &QCheckBox::clicked, [this](bool checked) {
    if (checked != checkBox_.Checked()) checkBox_.UserClick();
    Update(TChange::Checked);  // shows the model's state, also when the click was refused
  });
}

void QtCheckBoxPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      CheckBox()->setText(ToQString(checkBox_.Caption()));
      break;
    case TChange::Checked:
      if (CheckBox()->isChecked() != checkBox_.Checked()) {
        QSignalBlocker block(CheckBox());
        CheckBox()->setChecked(checkBox_.Checked());
      }
      break;
    default:
      break;
  }
}

QtUpDownPeer::QtUpDownPeer(TUpDown& upDown, QWidget* parent)
    : QtControlPeer(upDown, new QWidget(parent)),
      upDown_(upDown),
      up_(new QToolButton(widget_)),
      down_(new QToolButton(widget_)) {
  up_->setObjectName("Up");
  down_->setObjectName("Down");
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up_, down_}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
  QObject::connect(up_, &QToolButton::clicked, [this] { upDown_.UserStepUp(); });
  QObject::connect(down_, &QToolButton::clicked, [this] { upDown_.UserStepDown(); });
}

void QtUpDownPeer::Update(TChange what) {
  if (what != TChange::Bounds) return;
  int upper = upDown_.Height() / 2;
  up_->setGeometry(0, 0, upDown_.Width(), upper);
  down_->setGeometry(0, upper, upDown_.Width(), upDown_.Height() - upper);
}

}  // namespace korvane
