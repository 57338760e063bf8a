#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "task/PanoramaRecord.h"

namespace korvane {

// The record of a task's panorama lives beside its task file as "<folder>/<name>.json" (UTF-8
// JSON, rewritten at each start). Its fields, each left out when not known:
//   "id"            the panorama id
//   "protocol"      "classic", "current", ... (the configuration's names)
//   "lat", "lon"    where the camera stood, degrees WGS84
//   "elevation"     metres
//   "heading"       degrees clockwise from north at the middle of the stitched picture
//   "tilt", "roll"  degrees
//   "date"          "YYYY-MM"
//   "copyright"     the line to show with the picture
//   "address"       [ lines ]
//   "links"         [ {"id", "bearing"} ]
//   "other_dates"   [ {"id", "date"} ]
//   "image_width", "image_height", "tile_width", "tile_height"   pixels
// Readers take the file as outside input: CheckedPanoramaRecord's rules hold for what they
// return.

// The longest text and the most links, other dates and address lines a record keeps.
inline constexpr std::size_t MaxRecordTextLength = 512;
inline constexpr std::size_t MaxRecordListLength = 256;
// The largest record file read back; a larger one reads as no record.
inline constexpr std::size_t MaxRecordFileBytes = 1 << 20;

// "<folder>/<name>.json" for the task file "<folder>/<name>.krvn".
std::string PanoramaRecordPath(const std::string& taskFilePath);

// The record with what fails the rules dropped: positions off the globe, angles that are not
// finite, dates that are no month, texts with control characters or longer than
// MaxRecordTextLength (cut), ids the tile addresses refuse, lists beyond MaxRecordListLength
// (cut), sizes that are not positive (0).
PanoramaRecord CheckedPanoramaRecord(PanoramaRecord record);

// The record as JSON text (pretty, ending with a line end), and back; FromJson never raises and
// gives nothing for text that is not a JSON object.
std::string PanoramaRecordToJson(const PanoramaRecord& record);
std::optional<PanoramaRecord> PanoramaRecordFromJson(std::string_view text);

// "YYYY-MM" and back (nothing for any other text or a month outside 1..12).
std::string CaptureMonthText(const CaptureMonth& date);
std::optional<CaptureMonth> ParseCaptureMonth(std::string_view text);

// Writes the record beside the task file, replacing the old one in one step. Raises
// FileCreateError.
void WritePanoramaRecord(const std::string& taskFilePath, const PanoramaRecord& record);

// The record beside the task file; nothing when there is none or it is not readable.
std::optional<PanoramaRecord> ReadPanoramaRecord(const std::string& taskFilePath);

}  // namespace korvane
