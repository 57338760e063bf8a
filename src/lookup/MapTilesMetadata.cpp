#include "lookup/MapTilesMetadata.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/PrintableText.h"
#include "task/PanoIdCheck.h"
#include "task/PlaceLimits.h"
#include "task/TileGeometry.h"
#include "task/TileGrid.h"

namespace korvane {
namespace {

using Json = nlohmann::json;

// The most links kept, and the longest copyright kept: a real answer has a handful of links and
// one short line.
constexpr std::size_t MaxLinks = 32;
constexpr std::size_t MaxCopyrightLength = 200;
constexpr int MaxZoomLevels = 8;

std::optional<double> Number(const Json& object, const char* name) {
  const auto found = object.find(name);
  if (found == object.end() || !found->is_number()) return std::nullopt;
  const double value = found->get<double>();
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

int Side(const Json& object, const char* name) {
  const std::optional<double> value = Number(object, name);
  if (!value || *value < 1 || *value > static_cast<double>(MaxAnsweredPictureSide) ||
      *value != std::floor(*value))
    return 0;
  return static_cast<int>(*value);
}

std::string Text(const Json& object, const char* name, std::size_t longest) {
  const auto found = object.find(name);
  if (found == object.end() || !found->is_string()) return "";
  std::string text = PrintableText(found->get<std::string>());
  if (text.size() > longest) text.resize(longest);
  return text;
}

std::optional<CaptureMonth> MonthOf(const std::string& date) {
  int year = 0;
  int month = 0;
  if (date.size() < 7 || std::sscanf(date.c_str(), "%4d-%2d", &year, &month) != 2 || year < 1900 ||
      year > 9999 || month < 1 || month > 12)
    return std::nullopt;
  return CaptureMonth{year, month};
}

std::string DateText(const CaptureMonth& month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", month.Year, month.Month);
  return text;
}

MapTilesMetadata Unreadable(const std::string& problem) {
  MapTilesMetadata metadata;
  metadata.Answer.Kind = LookupAnswerKind::Unreadable;
  metadata.Answer.Problem = problem;
  return metadata;
}

std::vector<PanoramaLink> LinksOf(const Json& root) {
  std::vector<PanoramaLink> links;
  const auto found = root.find("links");
  if (found == root.end() || !found->is_array()) return links;
  for (const Json& link : *found) {
    if (links.size() == MaxLinks) break;
    if (!link.is_object()) continue;
    const std::string id = Text(link, "panoId", MaxPanoIdLength + 1);
    if (!IsUsablePanoId(id)) continue;
    PanoramaLink kept{id, Number(link, "heading")};
    links.push_back(kept);
  }
  return links;
}

// The size of the picture at every zoom from 0 to its highest.
std::vector<PixelSize> SizesPerZoom(int width, int height) {
  int highest = 0;
  while (highest < MaxZoomLevels && (static_cast<long long>(TilePixels) << highest) < width)
    ++highest;
  std::vector<PixelSize> sizes;
  for (int zoom = 0; zoom <= highest; ++zoom) {
    const PixelSize size{width >> (highest - zoom), height >> (highest - zoom)};
    if (size.Width < 1 || size.Height < 1 ||
        !GridForPanorama(size.Width, size.Height, TilePixels, TilePixels))
      break;
    sizes.push_back(size);
  }
  return sizes;
}

}  // namespace

MapTilesMetadata ParseMapTilesMetadata(std::string_view body) {
  const Json root = Json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!root.is_object()) return Unreadable("the answer is not a JSON object");
  const std::string id = Text(root, "panoId", MaxPanoIdLength + 1);
  if (!IsUsablePanoId(id)) return Unreadable("no usable panoId");
  if (Side(root, "tileWidth") != TilePixels || Side(root, "tileHeight") != TilePixels)
    return Unreadable("the tiles are not 512 x 512");
  const int width = Side(root, "imageWidth");
  const int height = Side(root, "imageHeight");
  std::vector<PixelSize> sizes = SizesPerZoom(width, height);
  if (sizes.empty()) return Unreadable("no picture size");

  MapTilesMetadata metadata;
  CurrentLookupAnswer& answer = metadata.Answer;
  PanoramaRecord& record = metadata.Record;
  answer.Kind = LookupAnswerKind::Found;
  answer.Status = 0;
  answer.PanoId = id;
  answer.TileSize = {TilePixels, TilePixels};
  answer.Sizes = std::move(sizes);
  record.PanoId = id;
  record.Protocol = PanoramaProtocol::MapTiles;
  record.ImageWidth = width;
  record.ImageHeight = height;
  record.TileWidth = TilePixels;
  record.TileHeight = TilePixels;
  const std::optional<double> latitude = Number(root, "lat");
  const std::optional<double> longitude = Number(root, "lng");
  if (latitude && longitude && std::fabs(*latitude) <= MaxAnsweredLatitude &&
      std::fabs(*longitude) <= MaxLongitude) {
    answer.Latitude = record.Latitude = latitude;
    answer.Longitude = record.Longitude = longitude;
  }
  record.Heading = Number(root, "heading");
  record.Tilt = Number(root, "tilt");
  record.Roll = Number(root, "roll");
  record.Date = MonthOf(Text(root, "date", 16));
  if (record.Date) answer.CaptureDate = DateText(*record.Date);
  record.Copyright = Text(root, "copyright", MaxCopyrightLength);
  record.Links = LinksOf(root);
  return metadata;
}

}  // namespace korvane
