#pragma once

#include <atomic>
#include <string>

#include "viewer/PanoramaPlacement.h"
#include "viewer/Pyramid.h"

namespace korvane::viewer {

// A panorama saved as one JPEG (by the images combiner or any camera or program), opened in two
// steps so a big one shows at once: Open decodes it at a reduced size (libjpeg's scaled
// decoding, a fraction of the full decode's work) and the full size follows from
// DecodeFullSize, typically on another thread, installed with Pyramid::SetFullSize.
struct StitchedPicture {
  std::string Bytes;  // the file, kept for the full-size decode
  PanoramaPlacement Placement;
  Pyramid Picture;

  bool NeedsFullSize() const { return Picture.FinestLevel() > 0; }
};

// Reads and checks the file and decodes it at the size the first frames need. Raises
// korvane::Exception with a message for people when the file cannot be read, is no JPEG, is
// damaged, too small to be a panorama (MinPictureSide) or too big (MaxDecodedPictureBytes).
StitchedPicture OpenStitchedPicture(const std::string& path);

// The picture at full size; empty when cancel became true. Raises as OpenStitchedPicture.
RgbBuffer DecodeFullSize(const StitchedPicture& picture, const std::atomic<bool>* cancel);

}  // namespace korvane::viewer
