#include "discover/ShapeFileChecks.h"

#include "discover/DiscoverLimits.h"
#include "discover/ShapeFiles.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/PrintableText.h"

namespace korvane {

std::string ReadShapeFileBytes(const std::string& path) {
  if (!FileExists(path)) RefuseShapeFile(path, "cannot open the file");
  try {
    return ReadRegularFile(path, MaxShapeFileBytes);
  } catch (const Exception&) {
    RefuseShapeFile(path, "cannot read the file, or it is not a regular file of at most " +
                              IntToStr(static_cast<int>(MaxShapeFileBytes >> 20)) + " MiB");
  }
}

void RefuseShapeFile(const std::string& path, const std::string& reason) {
  throw ShapeFileError(PrintableText(path + ": " + reason));
}

GeoPoint CheckedPoint(const std::string& path, double latitude, double longitude) {
  if (!IsOnGlobe(latitude, longitude))
    RefuseShapeFile(path, "a coordinate is out of range (latitude -90..90, longitude -180..180)");
  return {latitude, longitude};
}

void CheckShapeSize(const std::string& path, std::size_t points, const GeoBox& box) {
  if (points == 0) RefuseShapeFile(path, "no points");
  if (points > MaxShapePoints)
    RefuseShapeFile(path, "more than " + IntToStr(static_cast<int>(MaxShapePoints)) + " points");
  if (box.East - box.West > 180)
    RefuseShapeFile(path, "the shape crosses the antimeridian, which is not supported");
  if (SpanMetres(box) > MaxShapeSpanMetres)
    RefuseShapeFile(path, "the shape is wider than " +
                              IntToStr(static_cast<int>(MaxShapeSpanMetres / 1000)) +
                              " km; split it into smaller ones");
}

}  // namespace korvane
