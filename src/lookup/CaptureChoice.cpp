#include "lookup/CaptureChoice.h"

#include <cstdlib>

#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

int MonthIndex(const CaptureMonth& date) {
  return date.Year * 12 + (date.Month - 1);
}

}  // namespace

std::optional<CaptureChoice> ChooseCapture(const PanoramaRecord& record, CaptureMonth wanted) {
  std::optional<CaptureChoice> best;
  int bestDistance = 0;
  const auto consider = [&](const std::string& id, const std::optional<CaptureMonth>& date) {
    if (id.empty() || !date) return;
    const int distance = std::abs(MonthIndex(*date) - MonthIndex(wanted));
    const bool nearer = !best || distance < bestDistance ||
                        (distance == bestDistance && MonthIndex(*date) > MonthIndex(best->Date));
    if (!nearer) return;
    best = CaptureChoice{id, *date, distance == 0};
    bestDistance = distance;
  };
  consider(record.PanoId, record.Date);
  for (const OtherCapture& capture : record.OtherDates)
    consider(capture.PanoId, capture.Date);
  return best;
}

std::string CaptureChoiceLine(const std::optional<CaptureChoice>& choice, CaptureMonth wanted) {
  const std::string month = CaptureMonthText(wanted);
  if (!choice) return "No capture dates are known at this place; taking the panorama found.";
  if (choice->Exact) return "Capture of " + month + ": " + choice->PanoId;
  return "No capture of " + month + " at this place; taking the nearest, " +
         CaptureMonthText(choice->Date) + ": " + choice->PanoId;
}

}  // namespace korvane
