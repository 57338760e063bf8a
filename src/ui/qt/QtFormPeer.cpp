#include "ui/qt/QtFormPeer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/TApplication.h"
#include "ui/qt/QtConvert.h"

namespace korvane {

QtFormWindow::QtFormWindow(TForm& form) : form_(form), client_(new QWidget(this)) {
  client_->setObjectName("Client");
}

void QtFormWindow::SetMenuBar(QMenuBar* menuBar) {
  menuBar_ = menuBar;
  LayOut();
}

int QtFormWindow::MenuBarHeight() const {
  if (!menuBar_ || menuBar_->isHidden()) return 0;
  return menuBar_->heightForWidth(form_.ClientWidth()) > 0
             ? menuBar_->heightForWidth(form_.ClientWidth())
             : menuBar_->sizeHint().height();
}

void QtFormWindow::LayOut() {
  layingOut_ = true;
  int width = form_.ClientWidth();
  int menuHeight = MenuBarHeight();
  if (menuBar_) menuBar_->setGeometry(0, 0, width, menuHeight);
  client_->setGeometry(0, menuHeight, width, form_.ClientHeight());
  QSize size(width, menuHeight + form_.ClientHeight());
  if (form_.BorderStyle() == bsSizeable) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(size);
  } else {
    setFixedSize(size);
  }
  layingOut_ = false;
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
  // The model decides; when it closes the form its peer hides this window.
  event->ignore();
  form_.UserClose();
}

void QtFormWindow::keyPressEvent(QKeyEvent* event) {
  QWidget* focus = QApplication::focusWidget();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (auto* button = qobject_cast<QPushButton*>(focus)) {
        button->click();  // Enter presses the button that has the focus
      } else if (!qobject_cast<QPlainTextEdit*>(focus)) {
        form_.UserPressEnter();
      }
      event->accept();
      return;
    case Qt::Key_Escape:
      form_.UserPressEscape();
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void QtFormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (layingOut_ || form_.BorderStyle() != bsSizeable) return;
  int clientHeight = height() - MenuBarHeight();
  if (width() != form_.ClientWidth() || clientHeight != form_.ClientHeight()) {
    form_.App().CallHandler([&] { form_.SetClientSize(width(), clientHeight); });
  }
}

QtFormPeer::QtFormPeer(TForm& form) : QtControlPeer(form, new QtFormWindow(form)), form_(form) {}

QWidget* QtFormPeer::Container() const {
  return widget_ ? Window()->Client() : nullptr;
}

void QtFormPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      widget_->setWindowTitle(ToQString(form_.Caption()));
      break;
    case TChange::Style:
      ApplyStyle();
      break;
    default:
      break;
  }
}

void QtFormPeer::ApplyStyle() {
  Qt::WindowFlags flags =
      form_.BorderStyle() == bsDialog ? Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint : Qt::Window;
  if (form_.BorderStyle() == bsDialog || form_.BorderStyle() == bsSingle) {
    flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  }
  if (form_.FormStyle() == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (widget_->windowFlags() != flags) {
    bool visible = widget_->isVisible();
    widget_->setWindowFlags(flags);  // hides the window
    if (visible) widget_->show();
  }
  Window()->LayOut();
}

void QtFormPeer::ApplyBounds() {
  Window()->LayOut();
  if (form_.Position() == poDesigned && (form_.Left() != 0 || form_.Top() != 0)) {
    widget_->move(form_.Left(), form_.Top());
  }
}

void QtFormPeer::ApplyVisible() {
  if (!form_.Visible()) {
    widget_->hide();
    widget_->setWindowModality(Qt::NonModal);
    return;
  }
  if (widget_->isVisible()) return;
  // Modality can only be set while the window is hidden.
  widget_->setWindowModality(form_.Modal() ? Qt::ApplicationModal : Qt::NonModal);
  Window()->LayOut();
  PlaceOnFirstShow();
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
}

void QtFormPeer::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  QRect around;
  if (form_.Position() == poMainFormCenter) {
    TForm* main = form_.App().MainForm();
    auto* mainPeer = main && main != &form_ ? dynamic_cast<QtFormPeer*>(main->Peer()) : nullptr;
    if (mainPeer && mainPeer->widget_ && mainPeer->widget_->isVisible()) {
      around = mainPeer->widget_->frameGeometry();
    }
  }
  if (form_.Position() != poDesigned && !around.isValid()) {
    QScreen* screen = widget_->screen() ? widget_->screen() : QGuiApplication::primaryScreen();
    if (screen) around = screen->availableGeometry();
  }
  if (!around.isValid()) return;
  QRect frame = widget_->frameGeometry();
  widget_->move(around.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

}  // namespace korvane
