// A batch list for korvane-cli --batch, read row by row. Every row is a place or an error, in
// the order of its lines; a place has two number-like coordinates and a name that can be a
// file name, each without blanks at its ends; no row is longer than the reader allows.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "FuzzTarget.h"
#include "cli/BatchList.h"

namespace {

bool Trimmed(const std::string& field) {
  return field.empty() || (field.front() != ' ' && field.front() != '\t' && field.back() != ' ' &&
                           field.back() != '\t');
}

bool NumberLike(const std::string& field) {
  return !field.empty() && ((field[0] >= '0' && field[0] <= '9') || field[0] == '-' ||
                            field[0] == '+' || field[0] == '.');
}

// No folder part and nothing a terminal or a file dialog would mangle.
bool UsableName(const std::string& name) {
  const bool controls = std::any_of(name.begin(), name.end(), [](char c) {
    return std::iscntrl(static_cast<unsigned char>(c)) != 0;
  });
  return !controls && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string text(fuzz::AsText(data, size));
  std::istringstream in(text);
  BatchListReader reader(in);
  int lastLine = 0;
  const long long lines = static_cast<long long>(std::count(text.begin(), text.end(), '\n')) + 1;
  while (const std::optional<BatchListReader::Row> row = reader.Next()) {
    if (row->Place.has_value() == row->Error.has_value()) std::abort();
    const int line = row->Place ? row->Place->LineNumber : row->Error->LineNumber;
    if (line <= lastLine || line > lines) std::abort();
    lastLine = line;
    if (row->Error) {
      if (row->Error->Reason.empty()) std::abort();
      continue;
    }
    const BatchPlace& place = *row->Place;
    for (const std::string* field : {&place.Latitude, &place.Longitude, &place.Name, &place.Zoom}) {
      if (!Trimmed(*field) || field->size() > MaxBatchRowBytes) std::abort();
    }
    if (!NumberLike(place.Latitude) || !NumberLike(place.Longitude)) std::abort();
    if (!UsableName(place.Name) || BatchTaskName(place).empty()) std::abort();
  }
  return 0;
}
