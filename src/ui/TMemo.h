#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/TextFile.h"
#include "ui/TControl.h"

namespace korvane {

class TMemo;

// The lines of a memo. Adding a line costs the same however many lines the memo holds: the
// peer is told about the one new line (TChange::LineAppended), not handed the whole text.
// A line may itself hold a line feed; it stays one line here.
class TMemoLines {
 public:
  TMemoLines(const TMemoLines&) = delete;
  TMemoLines& operator=(const TMemoLines&) = delete;

  // Appends one line; returns its index.
  int Add(std::string line);
  // Replaces the whole content.
  void Assign(TStringList lines);
  // Replaces the whole content by the text split at CR LF, CR or LF.
  void SetText(std::string_view text);
  void Clear();
  // Replaces the whole content by the file's lines; raises FileOpenError.
  void LoadFromFile(const std::string& path);
  // Writes the lines over the file, each ending in CR LF; raises FileCreateError.
  void SaveToFile(const std::string& path) const;

  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](int index) const { return lines_.at(index); }
  const TStringList& Strings() const { return lines_; }
  // The lines joined, each followed by CR LF.
  std::string Text() const { return JoinLines(lines_); }

 private:
  friend class TMemo;
  explicit TMemoLines(TMemo& memo) : memo_(memo) {}

  TMemo& memo_;
  TStringList lines_;
};

// A multi-line text box holding a list of lines (a log window, for one).
class TMemo : public TControl {
 public:
  TMemo(TControl* parent, std::string name);

  TMemoLines Lines{*this};

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // With a horizontal scroll bar long lines are not wrapped.
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle scrollBars);
  bool WordWrap() const {
    return wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth;
  }
  void SetWordWrap(bool wordWrap);
  // bsSingle (the default) draws a frame, bsNone none.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

  void DblClick();
  // A user's double click: runs OnDblClick through the application's handler wrapper when the
  // user can reach the memo. Returns whether it happened.
  bool UserDblClick();
  // A user's editing of a memo that is not read-only: the content becomes the text. Returns
  // whether the text was taken.
  bool UserEdit(std::string_view text);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnDblClick;
  // Runs whenever the content changes, by program or by user.
  std::function<void()> OnChange;

 private:
  friend class TMemoLines;
  void LinesChanged(TChange what);

  bool readOnly_ = false;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace korvane
