#pragma once

#include <functional>
#include <string>

#include "viewer/RgbBuffer.h"

namespace korvane::test {

// The stand-in's panorama of test id at a zoom level as one JPEG file's bytes.
std::string StandinPanoramaJpeg(int zoom);

// A JPEG of one colour.
std::string PlainJpeg(int width, int height);

// A progressive JPEG of one colour without chroma subsampling (the most coefficients per pixel
// a colour picture has).
std::string ProgressiveJpeg(int width, int height);

// The JPEG with an XMP segment carrying the packet inserted after its start marker.
std::string WithXmp(const std::string& jpeg, const std::string& xmpPacket);

// The JPEG with the size in its frame header replaced (the data stays that of the old size).
std::string WithForgedSize(std::string jpeg, int width, int height);

// Writes the stand-in's tile (x, y) of the zoom level as folder + "gv_x_y_zoom.jpg"; through
// a temporary name and a rename, as the download does.
void WriteStandinTile(const std::string& folder, int x, int y, int zoom);

// Whether the pixel is the stand-in's heading-mark red, after JPEG and resampling.
bool IsMarkRed(const std::uint8_t* pixel);

// Whether the pixel is one of the chequer greys of a missing tile.
bool IsChequerGrey(const std::uint8_t* pixel);

}  // namespace korvane::test
