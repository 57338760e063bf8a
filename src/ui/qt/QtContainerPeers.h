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

// The panel's face: its outer bevel on its edge and its inner bevel inside the border width,
// each raised or lowered, as the model's client area leaves room for them.
class QtPanelFrame final : public QFrame {
 public:
  QtPanelFrame(TPanel& panel, QWidget* parent) : QFrame(parent), panel_(panel) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TPanel& panel_;
};

// A panel: its two bevels drawn by its face, with its caption centred.
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
