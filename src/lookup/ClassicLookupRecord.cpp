#include "lookup/ClassicLookupRecord.h"

#include <charconv>
#include <optional>
#include <string>

#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

// The text with &amp; &lt; &gt; &quot; &apos; decoded; other references stay as written.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> Entities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [entity, c] : Entities) {
      if (text.substr(i, entity.size()) == entity) {
        decoded += c;
        i += entity.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) decoded += text[i];
  }
  return decoded;
}

// The start tag "<name ...>" (or "<name .../>") found from `from`, as the text between "<name"
// and ">"; nothing when there is none.
std::optional<std::string_view> StartTag(std::string_view xml, std::string_view name,
                                         std::size_t& from) {
  const std::string open = "<" + std::string(name);
  while (true) {
    const std::size_t at = xml.find(open, from);
    if (at == std::string_view::npos) return std::nullopt;
    const std::size_t after = at + open.size();
    if (after < xml.size() && (xml[after] == ' ' || xml[after] == '>' || xml[after] == '/')) {
      const std::size_t close = xml.find('>', after);
      if (close == std::string_view::npos) return std::nullopt;
      from = close + 1;
      return xml.substr(after, close - after);
    }
    from = after;
  }
}

std::optional<std::string> Attribute(std::string_view tag, std::string_view name) {
  const std::string marker = " " + std::string(name) + "=\"";
  const std::size_t at = tag.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t start = at + marker.size();
  const std::size_t end = tag.find('"', start);
  if (end == std::string_view::npos) return std::nullopt;
  return DecodeEntities(tag.substr(start, end - start));
}

std::optional<double> NumberAttribute(std::string_view tag, std::string_view name) {
  const auto text = Attribute(tag, name);
  if (!text) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

int SideAttribute(std::string_view tag, std::string_view name) {
  const auto value = NumberAttribute(tag, name);
  return value && *value >= 1 && *value <= (1 << 20) ? static_cast<int>(*value) : 0;
}

// The text of the first element "<name>text</name>".
std::string ElementText(std::string_view xml, std::string_view name) {
  const std::string open = "<" + std::string(name) + ">";
  const std::string close = "</" + std::string(name) + ">";
  const std::size_t at = xml.find(open);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + open.size();
  const std::size_t end = xml.find(close, start);
  if (end == std::string_view::npos) return {};
  return DecodeEntities(xml.substr(start, end - start));
}

}  // namespace

PanoramaRecord RecordFromMetadataXml(std::string_view xml) {
  PanoramaRecord record;
  std::size_t from = 0;
  const auto data = StartTag(xml, "data_properties", from);
  if (!data) return record;
  record.Protocol = PanoramaProtocol::Classic;
  record.PanoId = Attribute(*data, "pano_id").value_or("");
  record.Latitude = NumberAttribute(*data, "lat");
  record.Longitude = NumberAttribute(*data, "lng");
  record.Elevation = NumberAttribute(*data, "elevation_wgs84_m");
  if (const auto date = Attribute(*data, "image_date")) record.Date = ParseCaptureMonth(*date);
  record.ImageWidth = SideAttribute(*data, "image_width");
  record.ImageHeight = SideAttribute(*data, "image_height");
  record.TileWidth = SideAttribute(*data, "tile_width");
  record.TileHeight = SideAttribute(*data, "tile_height");
  record.Copyright = ElementText(xml, "copyright");
  for (const char* line : {"text", "region", "country"}) {
    std::string text = ElementText(xml, line);
    if (!text.empty()) record.AddressLines.push_back(std::move(text));
  }
  std::size_t projectionFrom = 0;
  if (const auto projection = StartTag(xml, "projection_properties", projectionFrom)) {
    record.Heading = NumberAttribute(*projection, "pano_yaw_deg");
    record.Tilt = NumberAttribute(*projection, "tilt_pitch_deg");
  }
  std::size_t linkFrom = 0;
  while (record.Links.size() < MaxRecordListLength) {
    const auto link = StartTag(xml, "link", linkFrom);
    if (!link) break;
    if (auto id = Attribute(*link, "pano_id"))
      record.Links.push_back({std::move(*id), NumberAttribute(*link, "yaw_deg")});
  }
  return CheckedPanoramaRecord(std::move(record));
}

}  // namespace korvane
