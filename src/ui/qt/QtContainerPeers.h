#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>

#include "ui/TGroupBox.h"
#include "ui/TPanel.h"
#include "ui/TStatusBar.h"
#include "ui/qt/QtControlPeer.h"

namespace korvane {

// A panel: a frame drawn raised or sunken after its bevels, with its caption centred.
class QtPanelPeer final : public QtControlPeer {
 public:
  QtPanelPeer(TPanel& panel, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QFrame* Frame() const { return static_cast<QFrame*>(widget_.data()); }

  TPanel& panel_;
  QLabel* caption_;
};

class QtGroupBoxPeer final : public QtControlPeer {
 public:
  QtGroupBoxPeer(TGroupBox& groupBox, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  TGroupBox& groupBox_;
};

// A status bar showing its simple text in a label that fills it.
class QtStatusBarPeer final : public QtControlPeer {
 public:
  QtStatusBarPeer(TStatusBar& statusBar, QWidget* parent);

  QLabel* TextLabel() const { return text_; }

 protected:
  void Update(TChange what) override;

 private:
  TStatusBar& statusBar_;
  QLabel* text_;
};

}  // namespace korvane
