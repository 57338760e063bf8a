#pragma once

#include <memory>

namespace korvane {

class TForm;
class TPanel;
class TGroupBox;
class TLabel;
class TEdit;
class TMemo;
class TButton;
class TCheckBox;
class TRadioButton;
class TUpDown;
class TStatusBar;
class TMainMenu;
class TMenuItem;
class TProgressBar;
class TImage;

// What changed in a model control. The peer reads the new value from the control itself.
enum class TChange {
  Caption,  // Caption of a form, label, button, check box, radio button, group box, menu item
  Text,     // Text of an edit box, SimpleText of a status bar
  Visible,
  Enabled,
  Hint,    // Hint or ShowHint
  Bounds,  // Left, Top, Width, Height (a form: its client size)
  Font,    // the effective font, also when it came from a parent
  Color,
  Cursor,
  ReadOnly,
  LinesReplaced,  // the memo's whole content was replaced (or cleared)
  LineAppended,   // one line was added at the end of the memo: the last line of Lines
  Checked,
  Default,   // Default or Cancel of a button
  Style,     // any other appearance property: alignment, word wrap, scroll bars, bevels,
             // border, form position and style, label auto size
  Position,  // Min, Max or Position of a progress bar
  Picture,   // the picture an image control shows
};

// The other side of a model control: a real widget (Qt) or any observer a headless program
// attaches (korvane-cli echoes the log window this way). A control owns its peer and tells it
// about every change of what it shows; the peer turns user input back into calls on the
// control. Peers are used on the main thread only.
class TPeer {
 public:
  virtual ~TPeer() = default;
  virtual void Changed(TChange what) = 0;
};

// Makes the peer of each kind of control; a backend with real widgets provides one. Called on
// the main thread when a form is shown, parents before their children, so a child's peer can
// find its parent's through Parent()->Peer().
class TPeerFactory {
 public:
  virtual ~TPeerFactory() = default;
  virtual std::unique_ptr<TPeer> CreatePeer(TForm& form) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TPanel& panel) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TGroupBox& groupBox) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TLabel& label) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TEdit& edit) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TMemo& memo) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TButton& button) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TCheckBox& checkBox) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TUpDown& upDown) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TStatusBar& statusBar) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TMainMenu& menu) = 0;
  virtual std::unique_ptr<TPeer> CreatePeer(TMenuItem& item) = 0;
  // Controls only some windows have; a backend without them leaves them without a peer.
  virtual std::unique_ptr<TPeer> CreatePeer(TProgressBar&) { return nullptr; }
  virtual std::unique_ptr<TPeer> CreatePeer(TImage&) { return nullptr; }
  virtual std::unique_ptr<TPeer> CreatePeer(TRadioButton&) { return nullptr; }
};

}  // namespace korvane
