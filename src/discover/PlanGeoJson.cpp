#include <algorithm>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "discover/PlanOutputs.h"
#include "platform/FileSystem.h"

namespace korvane {
namespace {

using nlohmann::json;

json PointOf(const PlanRow& row) {
  return {{"type", "Point"}, {"coordinates", {row.Longitude, row.Latitude}}};
}

}  // namespace

std::string PlanGeoJson(const PanoramaPlan& plan, const PanoramaFilesOf& filesOf) {
  json features = json::array();
  std::unordered_map<std::string, std::size_t> indexOf;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const PlanRow& row = plan[i];
    indexOf.emplace(row.PanoId, i);
    const PanoramaFiles files = filesOf(row);
    json properties = {{"id", row.PanoId},
                       {"date", row.Date.empty() ? json() : json(row.Date)},
                       {"heading", row.Heading.empty() ? json() : json(std::stod(row.Heading))},
                       {"state", std::string(PlanStateText(row.State))},
                       {"task_file", files.TaskFile}};
    if (files.Picture) properties["picture"] = *files.Picture;
    features.push_back(
        {{"type", "Feature"}, {"geometry", PointOf(row)}, {"properties", std::move(properties)}});
  }
  // Each link once, whichever of its two panoramas lists it.
  for (std::size_t i = 0; i < plan.size(); ++i) {
    for (const std::string& linked : plan[i].Links) {
      const auto other = indexOf.find(linked);
      if (other == indexOf.end()) continue;
      const PlanRow& to = plan[other->second];
      const bool listedBack =
          std::find(to.Links.begin(), to.Links.end(), plan[i].PanoId) != to.Links.end();
      if (listedBack && other->second < i) continue;
      features.push_back(
          {{"type", "Feature"},
           {"geometry",
            {{"type", "LineString"},
             {"coordinates",
              {{plan[i].Longitude, plan[i].Latitude}, {to.Longitude, to.Latitude}}}}},
           {"properties", {{"from", plan[i].PanoId}, {"to", to.PanoId}}}});
    }
  }
  const json collection = {{"type", "FeatureCollection"}, {"features", std::move(features)}};
  // Replacement keeps a path that is not UTF-8 from stopping the output.
  return collection.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

void WritePlanGeoJson(const std::string& path, const PanoramaPlan& plan,
                      const PanoramaFilesOf& filesOf) {
  WriteFileAtomically(path, PlanGeoJson(plan, filesOf));
}

}  // namespace korvane
