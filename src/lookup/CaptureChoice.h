#pragma once

#include <optional>
#include <string>

#include "task/PanoramaRecord.h"

namespace korvane {

// One capture at a place: the panorama found or one of its other dates.
struct CaptureChoice {
  std::string PanoId;
  CaptureMonth Date;
  bool Exact = false;  // taken in the month asked for
};

// The capture of the month wanted among the record's own (PanoId, Date) and its OtherDates:
// one of that month, else the nearest in months (the later on a tie, the newer picture).
// Captures without a date do not count; nothing when none has one.
std::optional<CaptureChoice> ChooseCapture(const PanoramaRecord& record, CaptureMonth wanted);

// "Capture of 2015-03 wanted: taking AbCd... of 2015-05, the nearest." and the like: the log
// line that says what was chosen.
std::string CaptureChoiceLine(const std::optional<CaptureChoice>& choice, CaptureMonth wanted);

}  // namespace korvane
