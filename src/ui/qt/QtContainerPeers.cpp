#include "ui/qt/QtContainerPeers.h"

#include <qdrawutil.h>

#include <QPainter>

#include "ui/qt/QtConvert.h"

namespace korvane {

void QtPanelFrame::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  QRect edge = rect();
  auto drawBevel = [&](TBevelCut bevel) {
    if (bevel == bvNone) return;
    qDrawShadePanel(&painter, edge, palette(), bevel == bvLowered, PanelBevelWidth);
    edge.adjust(PanelBevelWidth, PanelBevelWidth, -PanelBevelWidth, -PanelBevelWidth);
  };
  drawBevel(panel_.BevelOuter());
  const int border = panel_.BorderWidth();
  edge.adjust(border, border, -border, -border);
  drawBevel(panel_.BevelInner());
}

QtPanelPeer::QtPanelPeer(TPanel& panel, QWidget* parent)
    : QtControlPeer(panel, new QtPanelFrame(panel, parent)),
      panel_(panel),
      caption_(new QLabel(Frame())) {
  caption_->setAlignment(Qt::AlignCenter);
  caption_->setTextFormat(Qt::PlainText);
  caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtPanelPeer::Update(TChange what) {
  switch (what) {
    case TChange::Caption:
      caption_->setText(ToQString(panel_.Caption()));
      caption_->setVisible(!panel_.Caption().empty());
      caption_->lower();
      break;
    case TChange::Bounds:
      caption_->setGeometry(0, 0, panel_.Width(), panel_.Height());
      break;
    case TChange::Style:
      Frame()->update();
      break;
    default:
      break;
  }
}

QtGroupBoxPeer::QtGroupBoxPeer(TGroupBox& groupBox, QWidget* parent)
    : QtControlPeer(groupBox, new QGroupBox(parent)), groupBox_(groupBox) {}

void QtGroupBoxPeer::Update(TChange what) {
  if (what == TChange::Caption) {
    static_cast<QGroupBox*>(widget_.data())->setTitle(ToQString(groupBox_.Caption()));
  }
}

QtStatusBarPeer::QtStatusBarPeer(TStatusBar& statusBar, QWidget* parent)
    : QtControlPeer(statusBar, new QStatusBar(parent)), statusBar_(statusBar), text_(new QLabel) {
  auto* bar = static_cast<QStatusBar*>(widget_.data());
  bar->setSizeGripEnabled(false);
  text_->setObjectName("SimpleText");
  text_->setTextFormat(Qt::PlainText);
  bar->addWidget(text_, 1);
}

void QtStatusBarPeer::Update(TChange what) {
  if (what == TChange::Text) text_->setText(ToQString(statusBar_.SimpleText()));
}

}  // namespace korvane
