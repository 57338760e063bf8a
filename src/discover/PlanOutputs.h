#pragma once

#include <functional>
#include <optional>
#include <string>

#include "discover/PanoramaPlan.h"

namespace korvane {

// The files a panorama of the plan has on disk.
struct PanoramaFiles {
  std::string TaskFile;
  std::optional<std::string> Picture;  // the stitched panorama, when made
};
using PanoramaFilesOf = std::function<PanoramaFiles(const PlanRow&)>;

// "<name>.geojson": a FeatureCollection in WGS84 that opens as is in a GIS. One Point per
// panorama with the properties id, date, heading (null when not known), state, task_file and
// picture (only when made), then one LineString per pair of linked panoramas (from, to).
std::string PlanGeoJson(const PanoramaPlan& plan, const PanoramaFilesOf& filesOf);

// The coverage seen without a GIS: a PNG of MapPixels on its longer side, the links as grey
// lines and each panorama a dot coloured by its state, over a plain background, north up.
std::string PlanMapPng(const PanoramaPlan& plan);
inline constexpr int MapPixels = 1024;

// Each written whole (WriteFileAtomically); raise FileCreateError.
void WritePlanGeoJson(const std::string& path, const PanoramaPlan& plan,
                      const PanoramaFilesOf& filesOf);
void WritePlanMap(const std::string& path, const PanoramaPlan& plan);

}  // namespace korvane
