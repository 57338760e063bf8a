// The stand-in's fault plans: a plan is read or refused with its documented error, and a plan
// that is read answers any request.
#include "FaultPlan.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::standin;
  try {
    const FaultPlan plan = FaultPlan::Parse(korvane::fuzz::AsText(data, size));
    ServiceRequest tile;
    tile.Kind = RequestKind::Tile;
    tile.PanoId = "p";
    tile.X = 1;
    tile.Y = 2;
    tile.Zoom = 3;
    ServiceRequest metadata;
    metadata.Kind = RequestKind::Metadata;
    metadata.Latitude = 48.85;
    metadata.Longitude = 2.35;
    for (int attempt = 1; attempt <= 3; ++attempt) {
      plan.Match(tile, attempt).Describe();
      plan.Match(metadata, attempt).Describe();
    }
  } catch (const EPlanError&) {
  }
  return 0;
}
