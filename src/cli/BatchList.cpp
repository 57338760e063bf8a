#include "cli/BatchList.h"

#include <vector>

#include "lookup/PlaceFromLink.h"
#include "platform/CsvRow.h"
#include "platform/NumberFormat.h"
#include "platform/TextTrim.h"

namespace korvane {
namespace {

bool LooksLikeNumber(const std::string& text) {
  return !text.empty() &&
         (IsDecimalDigit(text[0]) || text[0] == '-' || text[0] == '+' || text[0] == '.');
}

// A name becomes a file name in the save folder: no folder parts, no control characters.
bool IsUsableName(const std::string& name) {
  if (name == "." || name == "..") return false;
  for (const unsigned char c : name) {
    if (c < 0x20 || c == 0x7f || c == '/') return false;
  }
  return true;
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
    const std::string trimmed(TrimBlanks(line));
    if (trimmed.empty() || trimmed[0] == '#') continue;

    std::vector<std::string> fields = SplitCsvRow(trimmed);
    // A map link or a "lat, lon" pair (quoted, as both hold commas) names the place by itself.
    if (fields.size() <= 3) {
      if (const std::optional<PlaceTexts> place = PlaceFromText(fields[0])) {
        fields[0] = place->Longitude;
        fields.insert(fields.begin(), place->Latitude);
      }
    }
    const bool firstRow = !sawRow_;
    sawRow_ = true;
    if (firstRow && !LooksLikeNumber(fields[0])) continue;  // a header
    if (fields.size() < 2 || fields.size() > 4) {
      return Row{std::nullopt, BatchRowError{lineNumber_, "expected lat,lon[,name[,zoom]]"}};
    }
    if (!LooksLikeNumber(fields[0]) || !LooksLikeNumber(fields[1])) {
      return Row{std::nullopt,
                 BatchRowError{lineNumber_, "latitude and longitude must be numbers"}};
    }
    BatchPlace place{lineNumber_, fields[0], fields[1], fields.size() > 2 ? fields[2] : "",
                     fields.size() > 3 ? fields[3] : ""};
    if (!IsUsableName(place.Name)) {
      return Row{std::nullopt, BatchRowError{lineNumber_, "the name cannot be a file name"}};
    }
    return Row{place, std::nullopt};
  }
}

std::string BatchTaskName(const BatchPlace& place) {
  return place.Name.empty() ? place.Latitude + "_" + place.Longitude : place.Name;
}

}  // namespace korvane
