#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "ui/TButton.h"
#include "ui/TCheckBox.h"
#include "ui/TEdit.h"
#include "ui/TLabel.h"
#include "ui/TRadioButton.h"
#include "ui/TUpDown.h"
#include "ui/qt/QtControlPeer.h"

namespace korvane {

// A label that reports a left click released over it.
class QtClickableLabel final : public QLabel {
 public:
  QtClickableLabel(TLabel& label, QWidget* parent) : QLabel(parent), label_(label) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TLabel& label_;
};

// A text box whose Up and Down keys step the spin control bound to it, when there is one.
class QtLineEdit final : public QLineEdit {
 public:
  QtLineEdit(TEdit& edit, QWidget* parent) : QLineEdit(parent), edit_(edit) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TEdit& edit_;
};

class QtLabelPeer final : public QtControlPeer {
 public:
  QtLabelPeer(TLabel& label, QWidget* parent);

 protected:
  void Update(TChange what) override;
  void ApplyBounds() override;

 private:
  QLabel* Label() const { return static_cast<QLabel*>(widget_.data()); }

  TLabel& label_;
};

// A one-line text box: what the user types becomes the model's Text at once.
class QtEditPeer final : public QtControlPeer {
 public:
  QtEditPeer(TEdit& edit, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QLineEdit* LineEdit() const { return static_cast<QLineEdit*>(widget_.data()); }

  TEdit& edit_;
};

class QtButtonPeer final : public QtControlPeer {
 public:
  QtButtonPeer(TButton& button, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QPushButton* Button() const { return static_cast<QPushButton*>(widget_.data()); }

  TButton& button_;
};

// A radio button whose exclusivity the model keeps (TRadioButton): the widget never unchecks
// its siblings on its own.
class QtRadioButtonPeer final : public QtControlPeer {
 public:
  QtRadioButtonPeer(TRadioButton& radioButton, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QRadioButton* RadioButton() const { return static_cast<QRadioButton*>(widget_.data()); }

  TRadioButton& radioButton_;
};

class QtCheckBoxPeer final : public QtControlPeer {
 public:
  QtCheckBoxPeer(TCheckBox& checkBox, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QCheckBox* CheckBox() const { return static_cast<QCheckBox*>(widget_.data()); }

  TCheckBox& checkBox_;
};

// A pair of arrow buttons, one above the other, stepping the model's position (which the
// associated edit box then shows).
class QtUpDownPeer final : public QtControlPeer {
 public:
  QtUpDownPeer(TUpDown& upDown, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  TUpDown& upDown_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace korvane
