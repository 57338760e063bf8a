// A picture's Photo Sphere XMP (the GPano values), read from whatever the JPEG's XMP segment
// holds. The first four bytes give the picture's width and height; the rest is the packet.
// Wherever the values place the picture, it lies whole inside its full panorama, so the
// viewer's sphere never samples outside the decoded pixels.
#include <cstdlib>

#include "FuzzTarget.h"
#include "viewer/PanoramaPlacement.h"

namespace {

constexpr std::size_t SizeBytes = 4;

int SideFrom(const std::uint8_t* bytes) {
  return 1 + ((bytes[0] << 8) | bytes[1]);  // 1..65536, the sides a JPEG may have
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::viewer;
  if (size < SizeBytes) return 0;
  const int width = SideFrom(data);
  const int height = SideFrom(data + 2);
  const std::optional<GPanoValues> gpano =
      ParseGPano(korvane::fuzz::AsText(data + SizeBytes, size - SizeBytes));
  const PanoramaPlacement placed = PlacePicture(width, height, gpano);
  if (placed.Left < 0 || placed.Top < 0) std::abort();
  if (static_cast<long long>(placed.Left) + width > placed.FullWidth) std::abort();
  if (static_cast<long long>(placed.Top) + height > placed.FullHeight) std::abort();
  // Values that describe this very picture are taken as they are.
  if (gpano && gpano->Equirectangular && gpano->CroppedWidth == width &&
      gpano->CroppedHeight == height && gpano->CroppedLeft >= 0 && gpano->CroppedTop >= 0 &&
      static_cast<long long>(gpano->CroppedLeft) + width <= gpano->FullWidth &&
      static_cast<long long>(gpano->CroppedTop) + height <= gpano->FullHeight &&
      (placed.FullWidth != gpano->FullWidth || placed.Left != gpano->CroppedLeft))
    std::abort();
  return 0;
}
