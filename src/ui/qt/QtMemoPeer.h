#pragma once

#include <QObject>
#include <QPlainTextEdit>

#include "ui/TMemo.h"
#include "ui/qt/QtControlPeer.h"

namespace korvane {

// A memo as a plain-text editor. An appended line is appended to the document (one block),
// so a log window costs the same per line with 20,000 lines as with 20; only a replacement of
// the whole content rewrites the document.
class QtMemoPeer final : public QtControlPeer, private QObject {
 public:
  QtMemoPeer(TMemo& memo, QWidget* parent);

 protected:
  void Update(TChange what) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* Editor() const { return static_cast<QPlainTextEdit*>(widget_.data()); }
  void ReplaceAll();
  void AppendLast();

  TMemo& memo_;
  int shownLines_ = 0;     // model lines the document holds
  bool applying_ = false;  // the document is being changed from the model
};

}  // namespace korvane
