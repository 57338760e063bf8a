#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "task/PanoramaRecord.h"

namespace korvane {

// What the current protocol's lookup answer says. The answer is JavaScript,
// "/**/_xdc_._v2mub5 && _xdc_._v2mub5( R )", with R a JSON array:
//   R[0][0]                 status: 0 = found, anything else = no panorama (5: "Search returned
//                           no images")
//   M = R[1]                the panorama:
//   M[1][1]                 its id
//   M[2][3][0][z][0]        [height, width] of the picture at service zoom z = 0, 1, ...
//   M[2][3][1]              [height, width] of a tile
//   M[5][0][1][0][2], [3]   latitude, longitude
//   M[6][7]                 [year, month] it was taken (may be missing)
// The rest of M fills the record (see CurrentLookupRecord.h).
//
// The by-id request's answer is ")]}'" and a JSON array R of the same status at R[0][0] and
// the same panorama message at R[1][0].
enum class LookupAnswerKind {
  Found,       // status 0 with a usable id, a tile size and at least the size at zoom 0
  NoPanorama,  // a readable answer with another status, or an id the program refuses
  Refused,     // an HTML page instead of the answer (a captcha or consent page)
  Unreadable,  // anything else: not that JavaScript, not JSON, not that shape
};

struct PixelSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct CurrentLookupAnswer {
  LookupAnswerKind Kind = LookupAnswerKind::Unreadable;
  // Why a Found answer could not be made (for the log): "no status at R[0][0]", ...
  std::string Problem;
  std::optional<long long> Status;  // R[0][0] when it is an integer
  std::string PanoId;
  // The picture's size per service zoom from 0, up to the first level that is missing, not two
  // positive integers, or too large to cut into tiles (see GridForPanorama); so every listed
  // level can be downloaded.
  std::vector<PixelSize> Sizes;
  PixelSize TileSize;
  std::string CaptureDate;  // "YYYY-MM", empty when not known
  std::optional<double> Latitude;
  std::optional<double> Longitude;
  // All the answer told of the panorama (Found answers only), checked.
  PanoramaRecord Record;

  // The highest zoom level in Sizes; -1 when there is none.
  int HighestZoom() const { return static_cast<int>(Sizes.size()) - 1; }
};

// How deep arrays and objects may nest in an answer. The parts read lie six levels deep and a
// whole answer nests little deeper; an answer nesting further is Unreadable, before any tree
// is built from it.
inline constexpr int MaxLookupAnswerDepth = 64;

// Reads an answer body. A pure function of the bytes: never raises, never reads outside them,
// whatever they hold.
CurrentLookupAnswer ParseCurrentLookupAnswer(std::string_view body);

// What the by-id answer starts with: the service's guard against reading it as a script.
inline constexpr std::string_view ByIdAnswerPrefix = ")]}'";

// Reads a by-id answer body, under the same rules.
CurrentLookupAnswer ParsePanoramaByIdAnswer(std::string_view body);

}  // namespace korvane
