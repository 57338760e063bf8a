#pragma once

#include <istream>
#include <optional>
#include <string>

#include "task/PanoramaRecord.h"

namespace korvane {

// One place of a batch list, its texts as the row gives them (the start rules judge them as
// they judge typed boxes).
struct BatchPlace {
  int LineNumber = 0;
  std::string Latitude;
  std::string Longitude;
  std::string Name;  // empty: the task is named "<lat>_<lon>"
  std::string Zoom;  // empty: the batch's zoom
  // The capture month wanted ("YYYY-MM" in the row); nothing: the newest.
  std::optional<CaptureMonth> Date{};
  // The panorama to download by its id instead of the one nearest the point (a plan's row; a
  // list's rows never name one). Empty: the nearest.
  std::string PanoId{};
};

// A row that is not a place: its line number and why.
struct BatchRowError {
  int LineNumber = 0;
  std::string Reason;
};

// Reads a batch list one row at a time, so a list of any length costs the memory of one row.
// Rows are "lat,lon[,name[,zoom[,date]]]" (date "YYYY-MM"; an empty name or zoom keeps its
// default); blank lines and lines starting with "#" are passed over, and
// so is a first row whose first field is not a number (a header). A line ending in CR LF is
// read as ending in LF.
class BatchListReader {
 public:
  // The stream must outlive the reader.
  explicit BatchListReader(std::istream& in) : in_(in) {}

  // The next row: a place, a row error, or nothing at the end of the list.
  struct Row {
    std::optional<BatchPlace> Place;
    std::optional<BatchRowError> Error;
  };
  std::optional<Row> Next();

 private:
  std::istream& in_;
  int lineNumber_ = 0;
  bool sawRow_ = false;
};

// The longest row a list may have; a longer one is a row error (and the reader skips its rest).
inline constexpr std::size_t MaxBatchRowBytes = 4096;

// The task name of a place: its name, or "<lat>_<lon>" from its texts.
std::string BatchTaskName(const BatchPlace& place);

}  // namespace korvane
