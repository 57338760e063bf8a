#include "task/PanoramaRecordFile.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/FileSystem.h"
#include "platform/JsonNesting.h"
#include "platform/Paths.h"
#include "platform/PrintableText.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

using Json = nlohmann::json;

constexpr std::string_view RecordExtension = ".json";
// A record nests three levels (the record, a list, an item); a file nesting deeper is no record.
constexpr int MaxRecordDepth = 3;

std::optional<double> Finite(std::optional<double> value) {
  if (value && std::isfinite(*value)) return value;
  return std::nullopt;
}

std::optional<double> Within(std::optional<double> value, double limit) {
  if (value && std::isfinite(*value) && std::fabs(*value) <= limit) return value;
  return std::nullopt;
}

std::optional<double> Bearing(std::optional<double> value) {
  value = Finite(value);
  if (!value) return std::nullopt;
  double degrees = std::fmod(*value, 360.0);
  if (degrees < 0) degrees += 360.0;
  return degrees;
}

std::optional<CaptureMonth> Checked(std::optional<CaptureMonth> date) {
  if (date && date->Year >= 1900 && date->Year <= 9999 && date->Month >= 1 && date->Month <= 12)
    return date;
  return std::nullopt;
}

// Outside text kept only when printable, cut at MaxRecordTextLength without splitting a UTF-8
// character.
std::string CheckedText(const std::string& text) {
  if (!IsPrintableText(text)) return {};
  if (text.size() <= MaxRecordTextLength) return text;
  std::size_t end = MaxRecordTextLength;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return text.substr(0, end);
}

int Positive(int value) {
  return value > 0 ? value : 0;
}

template <typename T>
void Cut(std::vector<T>& list) {
  if (list.size() > MaxRecordListLength) list.resize(MaxRecordListLength);
}

// The value at key when it has the JSON type wanted; nothing otherwise.
std::optional<double> NumberAt(const Json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_number()) return std::nullopt;
  return found->get<double>();
}

std::string TextAt(const Json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return {};
  return found->get<std::string>();
}

int IntAt(const Json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_number_integer()) return 0;
  const auto value = found->get<long long>();
  return value > 0 && value <= (1LL << 30) ? static_cast<int>(value) : 0;
}

void PutNumber(Json& object, const char* key, std::optional<double> value) {
  if (value) object[key] = *value;
}

}  // namespace

std::string PanoramaRecordPath(const std::string& taskFilePath) {
  return RemoveFileExt(taskFilePath) + std::string(RecordExtension);
}

std::string CaptureMonthText(const CaptureMonth& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", date.Year, date.Month);
  return text;
}

std::optional<CaptureMonth> ParseCaptureMonth(std::string_view text) {
  if (text.size() != 7 || text[4] != '-') return std::nullopt;
  CaptureMonth date;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 4) continue;
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    (i < 4 ? date.Year : date.Month) = (i < 4 ? date.Year : date.Month) * 10 + (text[i] - '0');
  }
  return Checked(date);
}

PanoramaRecord CheckedPanoramaRecord(PanoramaRecord record) {
  if (!IsUsablePanoId(record.PanoId)) record.PanoId.clear();
  record.Latitude = Within(record.Latitude, 90.0);
  record.Longitude = Within(record.Longitude, 180.0);
  if (!record.Latitude || !record.Longitude) record.Latitude = record.Longitude = std::nullopt;
  record.Elevation = Within(record.Elevation, 100000.0);
  record.Heading = Bearing(record.Heading);
  record.Tilt = Within(record.Tilt, 180.0);
  record.Roll = Within(record.Roll, 180.0);
  record.Date = Checked(record.Date);
  record.Copyright = CheckedText(record.Copyright);
  std::erase_if(record.AddressLines, [](std::string& line) {
    line = CheckedText(line);
    return line.empty();
  });
  Cut(record.AddressLines);
  std::erase_if(record.Links, [](PanoramaLink& link) {
    link.Bearing = Bearing(link.Bearing);
    return !IsUsablePanoId(link.PanoId);
  });
  Cut(record.Links);
  std::erase_if(record.OtherDates, [](OtherCapture& capture) {
    capture.Date = Checked(capture.Date);
    return !IsUsablePanoId(capture.PanoId);
  });
  Cut(record.OtherDates);
  record.ImageWidth = Positive(record.ImageWidth);
  record.ImageHeight = Positive(record.ImageHeight);
  record.TileWidth = Positive(record.TileWidth);
  record.TileHeight = Positive(record.TileHeight);
  return record;
}

std::string PanoramaRecordToJson(const PanoramaRecord& unchecked) {
  const PanoramaRecord record = CheckedPanoramaRecord(unchecked);
  Json json = Json::object();
  if (!record.PanoId.empty()) json["id"] = record.PanoId;
  if (record.Protocol) json["protocol"] = ProtocolName(*record.Protocol);
  PutNumber(json, "lat", record.Latitude);
  PutNumber(json, "lon", record.Longitude);
  PutNumber(json, "elevation", record.Elevation);
  PutNumber(json, "heading", record.Heading);
  PutNumber(json, "tilt", record.Tilt);
  PutNumber(json, "roll", record.Roll);
  if (record.Date) json["date"] = CaptureMonthText(*record.Date);
  if (!record.Copyright.empty()) json["copyright"] = record.Copyright;
  if (!record.AddressLines.empty()) json["address"] = record.AddressLines;
  if (!record.Links.empty()) {
    Json& links = json["links"] = Json::array();
    for (const PanoramaLink& link : record.Links) {
      Json item = {{"id", link.PanoId}};
      PutNumber(item, "bearing", link.Bearing);
      links.push_back(std::move(item));
    }
  }
  if (!record.OtherDates.empty()) {
    Json& dates = json["other_dates"] = Json::array();
    for (const OtherCapture& capture : record.OtherDates) {
      Json item = {{"id", capture.PanoId}};
      if (capture.Date) item["date"] = CaptureMonthText(*capture.Date);
      dates.push_back(std::move(item));
    }
  }
  const std::pair<const char*, int> sizes[] = {{"image_width", record.ImageWidth},
                                               {"image_height", record.ImageHeight},
                                               {"tile_width", record.TileWidth},
                                               {"tile_height", record.TileHeight}};
  for (const auto& [key, value] : sizes)
    if (value > 0) json[key] = value;
  return json.dump(2) + "\n";
}

std::optional<PanoramaRecord> PanoramaRecordFromJson(std::string_view text) {
  if (NestsDeeperThan(text, MaxRecordDepth)) return std::nullopt;
  const Json json = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  PanoramaRecord record;
  record.PanoId = TextAt(json, "id");
  record.Protocol = ParsePanoramaProtocol(TextAt(json, "protocol"));
  record.Latitude = NumberAt(json, "lat");
  record.Longitude = NumberAt(json, "lon");
  record.Elevation = NumberAt(json, "elevation");
  record.Heading = NumberAt(json, "heading");
  record.Tilt = NumberAt(json, "tilt");
  record.Roll = NumberAt(json, "roll");
  record.Date = ParseCaptureMonth(TextAt(json, "date"));
  record.Copyright = TextAt(json, "copyright");
  if (const auto address = json.find("address"); address != json.end() && address->is_array())
    for (const Json& line : *address)
      if (line.is_string()) record.AddressLines.push_back(line.get<std::string>());
  if (const auto links = json.find("links"); links != json.end() && links->is_array())
    for (const Json& link : *links)
      if (link.is_object()) record.Links.push_back({TextAt(link, "id"), NumberAt(link, "bearing")});
  if (const auto dates = json.find("other_dates"); dates != json.end() && dates->is_array())
    for (const Json& capture : *dates)
      if (capture.is_object())
        record.OtherDates.push_back(
            {TextAt(capture, "id"), ParseCaptureMonth(TextAt(capture, "date"))});
  record.ImageWidth = IntAt(json, "image_width");
  record.ImageHeight = IntAt(json, "image_height");
  record.TileWidth = IntAt(json, "tile_width");
  record.TileHeight = IntAt(json, "tile_height");
  return CheckedPanoramaRecord(std::move(record));
}

void WritePanoramaRecord(const std::string& taskFilePath, const PanoramaRecord& record) {
  WriteFileAtomically(PanoramaRecordPath(taskFilePath), PanoramaRecordToJson(record));
}

std::optional<PanoramaRecord> ReadPanoramaRecord(const std::string& taskFilePath) {
  try {
    return PanoramaRecordFromJson(
        ReadRegularFile(PanoramaRecordPath(taskFilePath), MaxRecordFileBytes));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace korvane
