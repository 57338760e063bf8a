#include "lookup/CurrentLookupAnswer.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <variant>

#include "lookup/CurrentLookupRecord.h"
#include "lookup/JsonPath.h"
#include "platform/JsonNesting.h"
#include "platform/TextTrim.h"
#include "task/PanoIdCheck.h"
#include "task/PlaceLimits.h"
#include "task/TileGrid.h"

namespace korvane {
namespace {

using Json = nlohmann::json;

constexpr long long FirstCaptureYear = 1900;
constexpr long long LastCaptureYear = 9999;

// [height, width] of positive integers up to MaxAnsweredPictureSide.
std::optional<PixelSize> SizeAt(const Json& root, JsonPathIndices path) {
  const Json* pair = JsonAt(root, path);
  if (pair == nullptr || !pair->is_array() || pair->size() < 2) return std::nullopt;
  const auto height = JsonIntegerAt(*pair, {0});
  const auto width = JsonIntegerAt(*pair, {1});
  if (!height || !width || *height < 1 || *width < 1 || *height > MaxAnsweredPictureSide ||
      *width > MaxAnsweredPictureSide) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(*width), static_cast<int>(*height)};
}

std::string CaptureDateAt(const Json& panorama) {
  const auto year = JsonIntegerAt(panorama, {6, 7, 0});
  const auto month = JsonIntegerAt(panorama, {6, 7, 1});
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

CurrentLookupAnswer ReadPanorama(const Json& root, JsonPathIndices panoramaPath,
                                 std::string_view panoramaName) {
  CurrentLookupAnswer answer;
  answer.Status = JsonIntegerAt(root, {0, 0});
  if (!answer.Status) return Unreadable("no status at " + JsonPathText("R", {0, 0}));
  if (*answer.Status != 0) {
    answer.Kind = LookupAnswerKind::NoPanorama;
    return answer;
  }

  const Json* panorama = JsonAt(root, panoramaPath);
  if (panorama == nullptr) return Unreadable("no panorama at " + std::string(panoramaName));
  const Json* id = JsonAt(*panorama, {1, 1});
  if (id == nullptr || !id->is_string())
    return Unreadable("no id at " + JsonPathText(panoramaName, {1, 1}));
  const std::string& idText = id->get_ref<const std::string&>();
  if (!IsUsablePanoId(idText)) {
    answer.Kind = LookupAnswerKind::NoPanorama;
    answer.Problem = "the id at " + JsonPathText(panoramaName, {1, 1}) + " is not a panorama id";
    return answer;
  }

  const auto tile = SizeAt(*panorama, {2, 3, 1});
  if (!tile) return Unreadable("no tile size at " + JsonPathText(panoramaName, {2, 3, 1}));
  // Every tile of a task is a TilePixels square: the download's check, the combiner and the
  // viewer place tiles by it, so a panorama of other tiles cannot be fetched.
  if (tile->Width != TilePixels || tile->Height != TilePixels) {
    return Unreadable("the tile size at " + JsonPathText(panoramaName, {2, 3, 1}) + " is not " +
                      std::to_string(TilePixels) + " x " + std::to_string(TilePixels));
  }
  std::vector<PixelSize> sizes;
  for (std::size_t zoom = 0;; ++zoom) {
    const auto size = SizeAt(*panorama, {2, 3, 0, zoom, 0});
    if (!size || !GridForPanorama(size->Width, size->Height, tile->Width, tile->Height)) break;
    sizes.push_back(*size);
  }
  if (sizes.empty())
    return Unreadable("no picture size at " + JsonPathText(panoramaName, {2, 3, 0, 0, 0}));

  answer.Kind = LookupAnswerKind::Found;
  answer.PanoId = idText;
  answer.TileSize = *tile;
  answer.Sizes = std::move(sizes);
  answer.CaptureDate = CaptureDateAt(*panorama);
  const auto latitude = JsonNumberAt(*panorama, {5, 0, 1, 0, 2});
  const auto longitude = JsonNumberAt(*panorama, {5, 0, 1, 0, 3});
  if (latitude && longitude && std::fabs(*latitude) <= MaxAnsweredLatitude &&
      std::fabs(*longitude) <= MaxLongitude) {
    answer.Latitude = latitude;
    answer.Longitude = longitude;
  }
  answer.Record = RecordFromPanoramaMessage(*panorama);
  return answer;
}

// The answer's JSON array R, or the Unreadable answer that says why there is none.
std::variant<Json, CurrentLookupAnswer> JsonArrayOf(std::string_view text, std::string_view where) {
  if (NestsDeeperThan(text, MaxLookupAnswerDepth)) {
    return Unreadable("nested deeper than " + std::to_string(MaxLookupAnswerDepth) + " levels");
  }
  Json root;
  try {
    root = Json::parse(text.begin(), text.end(), nullptr, false);
  } catch (const std::exception&) {
    return Unreadable("not JSON " + std::string(where));
  }
  if (root.is_discarded()) return Unreadable("not JSON " + std::string(where));
  if (!root.is_array()) return Unreadable("not a JSON array " + std::string(where));
  return root;
}

// An HTML page, which the service sends instead of an answer when it pushes back.
std::optional<CurrentLookupAnswer> EmptyOrPage(std::string_view body) {
  std::size_t first = 0;
  while (first < body.size() && IsSpace(body[first]))
    ++first;
  if (first == body.size()) return Unreadable("an empty answer");
  if (body[first] != '<') return std::nullopt;
  CurrentLookupAnswer answer;
  answer.Kind = LookupAnswerKind::Refused;
  answer.Problem = "an HTML page instead of the answer";
  return answer;
}

}  // namespace

CurrentLookupAnswer ParseCurrentLookupAnswer(std::string_view body) {
  if (auto answer = EmptyOrPage(body)) return *answer;
  const std::size_t open = body.find('(');
  const std::size_t close = body.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return Unreadable("no callback around the answer");
  }
  auto root = JsonArrayOf(body.substr(open + 1, close - open - 1), "between the parentheses");
  if (auto* unreadable = std::get_if<CurrentLookupAnswer>(&root)) return std::move(*unreadable);
  return ReadPanorama(std::get<Json>(root), {1}, "R[1]");
}

CurrentLookupAnswer ParsePanoramaByIdAnswer(std::string_view body) {
  if (auto answer = EmptyOrPage(body)) return *answer;
  if (!body.starts_with(ByIdAnswerPrefix)) return Unreadable("no )]}' before the answer");
  auto root = JsonArrayOf(body.substr(ByIdAnswerPrefix.size()), "after )]}'");
  if (auto* unreadable = std::get_if<CurrentLookupAnswer>(&root)) return std::move(*unreadable);
  return ReadPanorama(std::get<Json>(root), {1, 0}, "R[1][0]");
}

}  // namespace korvane
