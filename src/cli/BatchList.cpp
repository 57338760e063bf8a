#include "cli/BatchList.h"

#include <string_view>
#include <vector>

#include "lookup/PlaceFromLink.h"
#include "platform/CsvRow.h"
#include "platform/NumberFormat.h"
#include "platform/PrintableText.h"
#include "platform/TextTrim.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
// lat, lon, name, zoom, date.
constexpr std::size_t MaxBatchFields = 5;

bool LooksLikeNumber(const std::string& text) {
  return !text.empty() &&
         (IsDecimalDigit(text[0]) || text[0] == '-' || text[0] == '+' || text[0] == '.');
}

// A coordinate is a decimal number and nothing else: [+-]digits[.digits] (or .digits). Text
// after the number is refused rather than ignored, so a row cannot pass as a place while its
// default task name "<lat>_<lon>" carries anything else.
bool IsWholeNumber(const std::string& text) {
  std::size_t at = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  bool digits = false;
  bool point = false;
  for (; at < text.size(); ++at) {
    if (IsDecimalDigit(text[at])) {
      digits = true;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// A name becomes a file name in the save folder and is printed: no folder parts, no control
// characters.
bool IsUsableName(const std::string& name) {
  if (name == "." || name == "..") return false;
  return name.find('/') == std::string::npos && IsPrintableText(name);
}

}  // namespace

std::optional<BatchListReader::Row> BatchListReader::Next() {
  std::string line;
  while (true) {
    line.clear();
    char c = 0;
    bool any = false;
    bool tooLong = false;
    while (in_.get(c) && c != '\n') {
      any = true;
      if (line.size() < MaxBatchRowBytes) {
        line.push_back(c);
      } else {
        tooLong = true;
      }
    }
    if (!any && !in_) return std::nullopt;
    ++lineNumber_;
    if (tooLong) {
      sawRow_ = true;
      return Row{std::nullopt, BatchRowError{lineNumber_, "the row is too long"}};
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A list saved by an editor that marks UTF-8 starts with the mark: it is no part of the row.
    if (lineNumber_ == 1 && line.starts_with(Utf8ByteOrderMark))
      line.erase(0, Utf8ByteOrderMark.size());
    const std::string trimmed(TrimBlanks(line));
    if (trimmed.empty() || trimmed[0] == '#') continue;

    std::vector<std::string> fields = SplitCsvRow(trimmed);
    // A map link or a "lat, lon" pair (quoted, as both hold commas) names the place by itself.
    if (fields.size() <= MaxBatchFields - 1) {
      if (const std::optional<PlaceTexts> place = PlaceFromText(fields[0])) {
        fields[0] = place->Longitude;
        fields.insert(fields.begin(), place->Latitude);
      }
    }
    const bool firstRow = !sawRow_;
    sawRow_ = true;
    if (firstRow && !LooksLikeNumber(fields[0])) continue;  // a header
    if (fields.size() < 2 || fields.size() > MaxBatchFields) {
      return Row{std::nullopt, BatchRowError{lineNumber_, "expected lat,lon[,name[,zoom[,date]]]"}};
    }
    if (!IsWholeNumber(fields[0]) || !IsWholeNumber(fields[1])) {
      return Row{std::nullopt,
                 BatchRowError{lineNumber_, "latitude and longitude must be numbers"}};
    }
    BatchPlace place{lineNumber_,
                     fields[0],
                     fields[1],
                     fields.size() > 2 ? fields[2] : "",
                     fields.size() > 3 ? fields[3] : "",
                     std::nullopt};
    if (fields.size() > 4 && !fields[4].empty()) {
      place.Date = ParseCaptureMonth(fields[4]);
      if (!place.Date) {
        return Row{std::nullopt, BatchRowError{lineNumber_, "the date must be YYYY-MM"}};
      }
    }
    if (!IsUsableName(BatchTaskName(place))) {
      return Row{std::nullopt, BatchRowError{lineNumber_, "the name cannot be a file name"}};
    }
    return Row{place, std::nullopt};
  }
}

std::string BatchTaskName(const BatchPlace& place) {
  return place.Name.empty() ? place.Latitude + "_" + place.Longitude : place.Name;
}

}  // namespace korvane
