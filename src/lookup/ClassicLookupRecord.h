#pragma once

#include <string_view>

#include "task/PanoramaRecord.h"

namespace korvane {

// What the classic metadata XML tells of its panorama:
//   <data_properties image_width image_height tile_width tile_height image_date pano_id
//                    lat lng elevation_wgs84_m>
//     <copyright>, <text> (the street), <region>       the copyright line, the address lines
//   <projection_properties pano_yaw_deg tilt_pitch_deg>  heading, tilt
//   <annotation_properties><link yaw_deg pano_id/>...    the neighbours and their bearings
// Read without an XML parser: only these names are looked for, each value up to its closing
// quote or tag, with the five XML entities decoded. Every part is optional; the record is
// checked (CheckedPanoramaRecord). An answer without a panorama gives an empty record.
PanoramaRecord RecordFromMetadataXml(std::string_view xml);

}  // namespace korvane
