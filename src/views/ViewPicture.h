#pragma once

#include <string>

#include "combine/PictureMetadata.h"
#include "viewer/RgbBuffer.h"
#include "views/ViewSource.h"

namespace korvane {

// What a view saved out of the source says of itself: the place's position, capture month and
// copyright line (from the record), and the view's direction.
PictureMetadata ViewMetadata(const ViewSource& source, const ViewDirection& direction);

// Writes the pixels as a baseline JPEG with the metadata's APP1 segments. The file appears
// whole or not at all (OutputFile); an existing file is replaced only with replace. Raises
// Exception with a one-line message when it cannot be written or exists.
void WriteViewPicture(const std::string& path, const viewer::RgbBuffer& pixels,
                      const PictureMetadata& metadata, int quality, bool replace);

}  // namespace korvane
