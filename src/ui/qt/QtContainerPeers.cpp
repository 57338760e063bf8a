#include "ui/qt/QtContainerPeers.h"

#include <algorithm>

#include "ui/qt/QtConvert.h"

namespace korvane {

QtPanelPeer::QtPanelPeer(TPanel& panel, QWidget* parent)
    : QtControlPeer(panel, new QFrame(parent)), panel_(panel), caption_(new QLabel(Frame())) {
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
    case TChange::Style: {
      TBevelCut edge = panel_.BevelOuter() != bvNone ? panel_.BevelOuter() : panel_.BevelInner();
      int bevels = (panel_.BevelOuter() != bvNone) + (panel_.BevelInner() != bvNone);
      Frame()->setFrameShape(edge == bvNone ? QFrame::NoFrame : QFrame::Panel);
      Frame()->setFrameShadow(edge == bvLowered ? QFrame::Sunken : QFrame::Raised);
      Frame()->setLineWidth(std::max(bevels, 1));
      break;
    }
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
