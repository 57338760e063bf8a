#include "ui/qt/QtControlPeer.h"

#include "platform/Exception.h"
#include "ui/qt/QtConvert.h"

namespace korvane {

namespace {

constexpr TChange AllChanges[] = {
    TChange::Caption, TChange::Text,    TChange::Visible,  TChange::Enabled,
    TChange::Hint,    TChange::Font,    TChange::Color,    TChange::Cursor,
    TChange::Style,   TChange::Bounds,  TChange::ReadOnly, TChange::LinesReplaced,
    TChange::Checked, TChange::Default, TChange::Position, TChange::Picture,
};

}  // namespace

QtControlPeer::QtControlPeer(TControl& control, QWidget* widget)
    : control_(control), widget_(widget) {
  widget_->setObjectName(ToQString(control.Name()));
}

QtControlPeer::~QtControlPeer() {
  if (widget_) {
    // No signal may reach the model while it is being torn down.
    widget_->disconnect();
    delete widget_.data();
  }
}

void QtControlPeer::SyncAll() {
  for (TChange what : AllChanges)
    Changed(what);
}

void QtControlPeer::Changed(TChange what) {
  if (!widget_) return;
  switch (what) {
    case TChange::Visible:
      ApplyVisible();
      break;
    case TChange::Enabled:
      widget_->setEnabled(control_.Enabled());
      break;
    case TChange::Hint:
      widget_->setToolTip(control_.ShowHint() ? ToQString(control_.Hint()) : QString());
      break;
    case TChange::Bounds:
      ApplyBounds();
      break;
    case TChange::Font:
      widget_->setFont(ToQFont(control_.Font()));
      ApplyColors(*widget_, control_.Font(), control_.Color());
      break;
    case TChange::Color:
      ApplyColors(*widget_, control_.Font(), control_.Color());
      break;
    case TChange::Cursor:
      if (control_.Cursor() == crHandPoint) {
        widget_->setCursor(Qt::PointingHandCursor);
      } else {
        widget_->unsetCursor();
      }
      break;
    default:
      break;
  }
  Update(what);
}

void QtControlPeer::ApplyBounds() {
  widget_->setGeometry(control_.Left(), control_.Top(), control_.Width(), control_.Height());
}

void QtControlPeer::ApplyVisible() {
  widget_->setVisible(control_.Visible());
}

QWidget* QtControlPeer::ContainerOf(const TControl& control) {
  auto* peer = dynamic_cast<QtControlPeer*>(control.Peer());
  if (!peer || !peer->Container()) throw Exception("No window for the control " + control.Name());
  return peer->Container();
}

}  // namespace korvane
