#include "discover/ShapeFiles.h"

#include "discover/GeoJsonShapes.h"
#include "discover/GpxRoute.h"
#include "discover/ShapeFileChecks.h"

namespace korvane {
namespace {

// XML (a GPX file) starts with "<" after an optional byte order mark and blanks.
bool LooksLikeXml(const std::string& text) {
  std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (at < text.size() &&
         (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
    ++at;
  return at < text.size() && text[at] == '<';
}

}  // namespace

GeoArea ReadAreaFile(const std::string& path) {
  return ParseGeoJsonArea(path, ReadShapeFileBytes(path));
}

GeoRoute ReadRouteFile(const std::string& path) {
  const std::string text = ReadShapeFileBytes(path);
  return LooksLikeXml(text) ? ParseGpxRoute(path, text) : ParseGeoJsonRoute(path, text);
}

}  // namespace korvane
