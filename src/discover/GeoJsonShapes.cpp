#include "discover/GeoJsonShapes.h"

#include <nlohmann/json.hpp>

#include "discover/ShapeFileChecks.h"

namespace korvane {
namespace {

using nlohmann::json;

// GeoJSON nests at most a FeatureCollection, its features, a geometry and a MultiPolygon's four
// array levels; deeper nesting is refused before parsing, so no file costs more than its size
// in nested values.
constexpr int MaxGeoJsonDepth = 12;

bool NestsTooDeep(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > MaxGeoJsonDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// The geometries of the file: the object itself, a Feature's geometry, or those of a
// FeatureCollection's features (a feature without geometry is passed over).
std::vector<const json*> Geometries(const std::string& path, const json& root) {
  if (!root.is_object() || !root.contains("type") || !root["type"].is_string())
    RefuseShapeFile(path, "not GeoJSON (no object with a \"type\")");
  const std::string type = root["type"].get<std::string>();
  std::vector<const json*> geometries;
  auto addFeature = [&path, &geometries](const json& feature) {
    if (!feature.is_object() || feature.value("type", json()) != "Feature")
      RefuseShapeFile(path, "not GeoJSON (a feature that is not a Feature)");
    const auto geometry = feature.find("geometry");
    if (geometry != feature.end() && geometry->is_object()) geometries.push_back(&*geometry);
  };
  if (type == "FeatureCollection") {
    const auto features = root.find("features");
    if (features == root.end() || !features->is_array())
      RefuseShapeFile(path, "not GeoJSON (a FeatureCollection without \"features\")");
    for (const json& feature : *features)
      addFeature(feature);
  } else if (type == "Feature") {
    addFeature(root);
  } else {
    geometries.push_back(&root);
  }
  return geometries;
}

// The geometry's type, cut short: it may be shown in an error.
std::string TypeOf(const json& geometry) {
  constexpr std::size_t MaxShownType = 40;
  const auto type = geometry.find("type");
  return type != geometry.end() && type->is_string()
             ? type->get<std::string>().substr(0, MaxShownType)
             : "";
}

const json& CoordinatesOf(const std::string& path, const json& geometry) {
  const auto coordinates = geometry.find("coordinates");
  if (coordinates == geometry.end() || !coordinates->is_array())
    RefuseShapeFile(path, "a geometry without \"coordinates\"");
  return *coordinates;
}

// A position is [longitude, latitude, elevation?].
GeoPoint PositionOf(const std::string& path, const json& position) {
  if (!position.is_array() || position.size() < 2 || !position[0].is_number() ||
      !position[1].is_number())
    RefuseShapeFile(path, "a position that is not [longitude, latitude]");
  return CheckedPoint(path, position[1].get<double>(), position[0].get<double>());
}

std::vector<GeoPoint> LineOf(const std::string& path, const json& positions) {
  if (!positions.is_array()) RefuseShapeFile(path, "a line that is not a list of positions");
  std::vector<GeoPoint> line;
  for (const json& position : positions)
    line.push_back(PositionOf(path, position));
  return line;
}

GeoRing RingOf(const std::string& path, const json& positions) {
  GeoRing ring = LineOf(path, positions);
  if (ring.size() < 4) RefuseShapeFile(path, "a ring with fewer than four positions");
  if (!(ring.front() == ring.back()))
    RefuseShapeFile(path, "an open ring (its last position must repeat its first)");
  return ring;
}

GeoPolygon PolygonOf(const std::string& path, const json& rings) {
  if (!rings.is_array() || rings.empty()) RefuseShapeFile(path, "a polygon without rings");
  GeoPolygon polygon{RingOf(path, rings[0]), {}};
  for (std::size_t i = 1; i < rings.size(); ++i)
    polygon.Holes.push_back(RingOf(path, rings[i]));
  return polygon;
}

json ParseJson(const std::string& path, const std::string& text) {
  if (NestsTooDeep(text)) RefuseShapeFile(path, "not GeoJSON (nested too deep)");
  json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) RefuseShapeFile(path, "not GeoJSON (not valid JSON)");
  return root;
}

template <typename Lines>
std::size_t PointCount(const Lines& lines) {
  std::size_t count = 0;
  for (const auto& line : lines)
    count += line.size();
  return count;
}

}  // namespace

GeoArea ParseGeoJsonArea(const std::string& path, const std::string& text) {
  const json root = ParseJson(path, text);
  GeoArea area;
  std::size_t points = 0;
  for (const json* geometry : Geometries(path, root)) {
    const std::string type = TypeOf(*geometry);
    if (type == "Polygon") {
      area.push_back(PolygonOf(path, CoordinatesOf(path, *geometry)));
    } else if (type == "MultiPolygon") {
      for (const json& polygon : CoordinatesOf(path, *geometry))
        area.push_back(PolygonOf(path, polygon));
    } else {
      RefuseShapeFile(path, "a " + (type.empty() ? std::string("geometry without type") : type) +
                                " where a Polygon or MultiPolygon is needed");
    }
  }
  if (area.empty()) RefuseShapeFile(path, "no Polygon or MultiPolygon");
  for (const GeoPolygon& polygon : area)
    points += polygon.Outer.size() + PointCount(polygon.Holes);
  CheckShapeSize(path, points, BoxOf(area));
  return area;
}

GeoRoute ParseGeoJsonRoute(const std::string& path, const std::string& text) {
  const json root = ParseJson(path, text);
  GeoRoute route;
  for (const json* geometry : Geometries(path, root)) {
    const std::string type = TypeOf(*geometry);
    if (type == "LineString") {
      route.push_back(LineOf(path, CoordinatesOf(path, *geometry)));
    } else if (type == "MultiLineString") {
      for (const json& line : CoordinatesOf(path, *geometry))
        route.push_back(LineOf(path, line));
    } else {
      RefuseShapeFile(path, "a " + (type.empty() ? std::string("geometry without type") : type) +
                                " where a LineString is needed");
    }
  }
  CheckShapeSize(path, PointCount(route), BoxOf(route));
  return route;
}

}  // namespace korvane
