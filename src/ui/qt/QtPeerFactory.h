#pragma once

#include "ui/TPeer.h"

class QWidget;

namespace korvane {

class TControl;

// Makes the Qt widget of every kind of model control, inside its parent's widget.
class QtPeerFactory final : public TPeerFactory {
 public:
  std::unique_ptr<TPeer> CreatePeer(TForm& form) override;
  std::unique_ptr<TPeer> CreatePeer(TPanel& panel) override;
  std::unique_ptr<TPeer> CreatePeer(TGroupBox& groupBox) override;
  std::unique_ptr<TPeer> CreatePeer(TLabel& label) override;
  std::unique_ptr<TPeer> CreatePeer(TEdit& edit) override;
  std::unique_ptr<TPeer> CreatePeer(TMemo& memo) override;
  std::unique_ptr<TPeer> CreatePeer(TButton& button) override;
  std::unique_ptr<TPeer> CreatePeer(TCheckBox& checkBox) override;
  std::unique_ptr<TPeer> CreatePeer(TRadioButton& radioButton) override;
  std::unique_ptr<TPeer> CreatePeer(TUpDown& upDown) override;
  std::unique_ptr<TPeer> CreatePeer(TStatusBar& statusBar) override;
  std::unique_ptr<TPeer> CreatePeer(TMainMenu& menu) override;
  std::unique_ptr<TPeer> CreatePeer(TMenuItem& item) override;
  std::unique_ptr<TPeer> CreatePeer(TProgressBar& bar) override;
  std::unique_ptr<TPeer> CreatePeer(TImage& image) override;
};

// The widget showing a control (a form: its window), or null when it has none. For tests and
// screenshots.
QWidget* WidgetOf(const TControl& control);

}  // namespace korvane
