#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include "ui/TForm.h"
#include "ui/qt/QtControlPeer.h"

namespace korvane {

// The window of a form: a top-level widget holding the menu bar (when the form has one) and,
// below it, the client area the form's controls sit in, sized to the form's client size.
// The close box, Enter and Esc go to the model form.
class QtFormWindow final : public QWidget {
 public:
  explicit QtFormWindow(TForm& form);

  QWidget* Client() const { return client_; }
  // The menu bar above the client area; null removes it.
  void SetMenuBar(QMenuBar* menuBar);
  QMenuBar* MenuBar() const { return menuBar_; }
  // Sizes the window to the form's client size plus the menu bar.
  void LayOut();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int MenuBarHeight() const;

  TForm& form_;
  QWidget* client_;
  QPointer<QMenuBar> menuBar_;
  bool layingOut_ = false;
};

class QtFormPeer final : public QtControlPeer {
 public:
  explicit QtFormPeer(TForm& form);

  QtFormWindow* Window() const { return static_cast<QtFormWindow*>(widget_.data()); }
  QWidget* Container() const override;

 protected:
  void Update(TChange what) override;
  void ApplyBounds() override;
  void ApplyVisible() override;

 private:
  void ApplyStyle();
  void PlaceOnFirstShow();

  TForm& form_;
  bool placed_ = false;
};

}  // namespace korvane
