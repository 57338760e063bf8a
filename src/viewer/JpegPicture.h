#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "viewer/PanoramaPlacement.h"
#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

// What the header of a JPEG file says: its size and its Photo Sphere values when it has them.
struct JpegHeader {
  int Width = 0;
  int Height = 0;
  std::optional<GPanoValues> GPano;
  std::optional<double> PoseHeading;  // GPano PoseHeadingDegrees
};

// Reads the header of a JPEG held in memory. Raises korvane::Exception with a message for
// people ("Not a JPEG picture: ...") when the bytes are no JPEG.
JpegHeader ReadJpegHeader(std::string_view bytes);

// libjpeg's memory cap for decoding a picture of this size and number of colour components: the
// work buffers' share plus every coefficient of the picture, which a progressive picture keeps
// for all of its scans (two bytes each, the sides padded to whole sampling units). Bounded
// because the pictures decoded are (MaxDecodedPictureBytes).
long JpegWorkMemoryFor(int width, int height, int components);

// The message for a picture whose full-size copy would exceed MaxDecodedPictureBytes.
std::string TooBigMessage(int width, int height);

// Decodes the whole picture at 1/denominator of its size (denominator 1, 2, 4 or 8; the
// result is ceil(size / denominator), libjpeg's scaled decoding, which skips most of the work
// for the small sizes). Raises korvane::Exception when the data is damaged or cut short or the
// full-size picture exceeds MaxDecodedPictureBytes;
// returns an empty buffer when `cancel` became true while it decoded. Thread-safe (each call
// has its own decoder).
RgbBuffer DecodeJpeg(std::string_view bytes, int denominator,
                     const std::atomic<bool>* cancel = nullptr);

// Decodes rows firstRow .. firstRow + rowCount - 1 of the picture at 1/denominator of its size
// (rows of the scaled picture; rowCount -1: to the last row, and both cut to the picture): the
// rows above are skipped (libjpeg-turbo's skipping, no colour work) and those below are not
// decoded at all. Raises and cancels as DecodeJpeg.
RgbBuffer DecodeJpegRows(std::string_view bytes, int denominator, int firstRow, int rowCount,
                         const std::atomic<bool>* cancel = nullptr);

}  // namespace korvane::viewer
