#include "app/LinePrinter.h"

namespace korvane {

void TLinePrinter::Changed(TChange what) {
  if (what == TChange::LineAppended && !memo_.Lines.Empty()) {
    out_ << memo_.Lines[memo_.Lines.Count() - 1] << '\n';
  } else if (what == TChange::LinesReplaced) {
    for (const std::string& line : memo_.Lines.Strings())
      out_ << line << '\n';
  } else {
    return;
  }
  out_.flush();
}

}  // namespace korvane
