#include "lookup/CurrentLookupAnswer.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/JsonNesting.h"
#include "platform/TextTrim.h"
#include "task/PanoIdCheck.h"
#include "task/PlaceLimits.h"
#include "task/TileGrid.h"

namespace korvane {
namespace {

using Json = nlohmann::json;
using Path = std::initializer_list<std::size_t>;

constexpr long long FirstCaptureYear = 1900;
constexpr long long LastCaptureYear = 9999;

std::string PathText(std::string_view base, Path path) {
  std::string text(base);
  for (const std::size_t index : path)
    text += "[" + std::to_string(index) + "]";
  return text;
}

// The element at the path of indices, or null when a step is not an array or too short.
const Json* At(const Json& root, Path path) {
  const Json* node = &root;
  for (const std::size_t index : path) {
    if (!node->is_array() || index >= node->size()) return nullptr;
    node = &(*node)[index];
  }
  return node;
}

std::optional<long long> IntegerAt(const Json& root, Path path) {
  const Json* node = At(root, path);
  if (node == nullptr) return std::nullopt;
  if (node->is_number_integer() && !node->is_number_unsigned()) return node->get<long long>();
  if (node->is_number_unsigned()) {
    const auto value = node->get<unsigned long long>();
    if (value <= static_cast<unsigned long long>(std::numeric_limits<long long>::max())) {
      return static_cast<long long>(value);
    }
  }
  return std::nullopt;
}

std::optional<double> NumberAt(const Json& root, Path path) {
  const Json* node = At(root, path);
  if (node == nullptr || !node->is_number()) return std::nullopt;
  const double value = node->get<double>();
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// [height, width] of positive integers up to MaxAnsweredPictureSide.
std::optional<PixelSize> SizeAt(const Json& root, Path path) {
  const Json* pair = At(root, path);
  if (pair == nullptr || !pair->is_array() || pair->size() < 2) return std::nullopt;
  const auto height = IntegerAt(*pair, {0});
  const auto width = IntegerAt(*pair, {1});
  if (!height || !width || *height < 1 || *width < 1 || *height > MaxAnsweredPictureSide ||
      *width > MaxAnsweredPictureSide) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(*width), static_cast<int>(*height)};
}

std::string CaptureDateAt(const Json& panorama) {
  const auto year = IntegerAt(panorama, {6, 7, 0});
  const auto month = IntegerAt(panorama, {6, 7, 1});
  if (!year || !month || *year < FirstCaptureYear || *year > LastCaptureYear || *month < 1 ||
      *month > 12) {
    return "";
  }
  char text[16];
  std::snprintf(text, sizeof text, "%04lld-%02lld", *year, *month);
  return text;
}

CurrentLookupAnswer Unreadable(std::string problem) {
  CurrentLookupAnswer answer;
  answer.Kind = LookupAnswerKind::Unreadable;
  answer.Problem = std::move(problem);
  return answer;
}

CurrentLookupAnswer ReadPanorama(const Json& root) {
  CurrentLookupAnswer answer;
  answer.Status = IntegerAt(root, {0, 0});
  if (!answer.Status) return Unreadable("no status at " + PathText("R", {0, 0}));
  if (*answer.Status != 0) {
    answer.Kind = LookupAnswerKind::NoPanorama;
    return answer;
  }

  const Json* panorama = At(root, {1});
  if (panorama == nullptr) return Unreadable("no panorama at R[1]");
  const Json* id = At(*panorama, {1, 1});
  if (id == nullptr || !id->is_string()) return Unreadable("no id at " + PathText("R[1]", {1, 1}));
  const std::string& idText = id->get_ref<const std::string&>();
  if (!IsUsablePanoId(idText)) {
    answer.Kind = LookupAnswerKind::NoPanorama;
    answer.Problem = "the id at R[1][1][1] is not a panorama id";
    return answer;
  }

  const auto tile = SizeAt(*panorama, {2, 3, 1});
  if (!tile) return Unreadable("no tile size at " + PathText("R[1]", {2, 3, 1}));
  // Every tile of a task is a TilePixels square: the download's check, the combiner and the
  // viewer place tiles by it, so a panorama of other tiles cannot be fetched.
  if (tile->Width != TilePixels || tile->Height != TilePixels) {
    return Unreadable("the tile size at " + PathText("R[1]", {2, 3, 1}) + " is not " +
                      std::to_string(TilePixels) + " x " + std::to_string(TilePixels));
  }
  std::vector<PixelSize> sizes;
  for (std::size_t zoom = 0;; ++zoom) {
    const auto size = SizeAt(*panorama, {2, 3, 0, zoom, 0});
    if (!size || !GridForPanorama(size->Width, size->Height, tile->Width, tile->Height)) break;
    sizes.push_back(*size);
  }
  if (sizes.empty()) return Unreadable("no picture size at " + PathText("R[1]", {2, 3, 0, 0, 0}));

  answer.Kind = LookupAnswerKind::Found;
  answer.PanoId = idText;
  answer.TileSize = *tile;
  answer.Sizes = std::move(sizes);
  answer.CaptureDate = CaptureDateAt(*panorama);
  const auto latitude = NumberAt(*panorama, {5, 0, 1, 0, 2});
  const auto longitude = NumberAt(*panorama, {5, 0, 1, 0, 3});
  if (latitude && longitude && std::fabs(*latitude) <= MaxAnsweredLatitude &&
      std::fabs(*longitude) <= MaxLongitude) {
    answer.Latitude = latitude;
    answer.Longitude = longitude;
  }
  return answer;
}

}  // namespace

CurrentLookupAnswer ParseCurrentLookupAnswer(std::string_view body) {
  std::size_t first = 0;
  while (first < body.size() && IsSpace(body[first]))
    ++first;
  if (first == body.size()) return Unreadable("an empty answer");
  if (body[first] == '<') {
    CurrentLookupAnswer answer;
    answer.Kind = LookupAnswerKind::Refused;
    answer.Problem = "an HTML page instead of the answer";
    return answer;
  }

  const std::size_t open = body.find('(');
  const std::size_t close = body.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return Unreadable("no callback around the answer");
  }
  const std::string_view text = body.substr(open + 1, close - open - 1);
  if (NestsDeeperThan(text, MaxLookupAnswerDepth)) {
    return Unreadable("nested deeper than " + std::to_string(MaxLookupAnswerDepth) + " levels");
  }
  Json root;
  try {
    root = Json::parse(text.begin(), text.end(), nullptr, false);
  } catch (const std::exception&) {
    return Unreadable("not JSON between the parentheses");
  }
  if (root.is_discarded()) return Unreadable("not JSON between the parentheses");
  if (!root.is_array()) return Unreadable("not a JSON array between the parentheses");
  return ReadPanorama(root);
}

}  // namespace korvane
