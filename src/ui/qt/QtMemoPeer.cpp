#include "ui/qt/QtMemoPeer.h"

#include <QEvent>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>

#include "ui/qt/QtConvert.h"

namespace korvane {

QtMemoPeer::QtMemoPeer(TMemo& memo, QWidget* parent)
    : QtControlPeer(memo, new QPlainTextEdit(parent)), memo_(memo) {
  Editor()->viewport()->installEventFilter(this);
  QObject::connect(Editor(), &QPlainTextEdit::textChanged, [this] {
    if (applying_) return;
    applying_ = true;
    if (!memo_.UserEdit(FromQString(Editor()->toPlainText()))) {
      applying_ = false;
      ReplaceAll();  // refused: show the model's lines again
    }
    shownLines_ = memo_.Lines.Count();
    applying_ = false;
  });
}

bool QtMemoPeer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    memo_.UserDblClick();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void QtMemoPeer::Update(TChange what) {
  if (applying_ && (what == TChange::LinesReplaced || what == TChange::LineAppended)) return;
  switch (what) {
    case TChange::LinesReplaced:
      ReplaceAll();
      break;
    case TChange::LineAppended:
      AppendLast();
      break;
    case TChange::ReadOnly:
      Editor()->setReadOnly(memo_.ReadOnly());
      break;
    case TChange::Style: {
      TScrollStyle bars = memo_.ScrollBars();
      bool vertical = bars == ssVertical || bars == ssBoth;
      bool horizontal = bars == ssHorizontal || bars == ssBoth;
      Editor()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
      Editor()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
      Editor()->setLineWrapMode(memo_.WordWrap() ? QPlainTextEdit::WidgetWidth
                                                 : QPlainTextEdit::NoWrap);
      Editor()->setFrameShape(memo_.BorderStyle() == bsNone ? QFrame::NoFrame
                                                            : QFrame::StyledPanel);
      break;
    }
    default:
      break;
  }
}

void QtMemoPeer::ReplaceAll() {
  applying_ = true;
  QStringList lines;
  lines.reserve(memo_.Lines.Count());
  for (const std::string& line : memo_.Lines.Strings())
    lines.push_back(ToQString(line));
  Editor()->setPlainText(lines.join('\n'));
  // The view goes to the last line, so lines appended next stay in view (a log window follows
  // its newest line until the user scrolls away).
  QScrollBar* bar = Editor()->verticalScrollBar();
  bar->setValue(bar->maximum());
  shownLines_ = memo_.Lines.Count();
  applying_ = false;
}

void QtMemoPeer::AppendLast() {
  if (shownLines_ + 1 != memo_.Lines.Count()) {
    ReplaceAll();  // out of step (should not happen): start over
    return;
  }
  applying_ = true;
  QString line = ToQString(memo_.Lines[memo_.Lines.Count() - 1]);
  QTextDocument* document = Editor()->document();
  if (shownLines_ == 0) {
    Editor()->setPlainText(line);
  } else if (document->isEmpty()) {
    // The document holds one empty line, which appendPlainText would take for no line.
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(line);
  } else {
    Editor()->appendPlainText(line);  // keeps the view at the bottom when it was there
  }
  ++shownLines_;
  applying_ = false;
}

}  // namespace korvane
