#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "task/TileGeometry.h"

namespace korvane {

// A tile answer is only kept when libjpeg can decode all of it. The bound on the decoder's
// working memory keeps a hostile answer that claims a huge image (a progressive one is
// buffered whole) from exhausting the process; a real tile needs well under a megabyte.
inline constexpr long MaxJpegDecoderMemory = 64L * 1024 * 1024;

// True when the file at path reads and decodes in full without any error and without any of
// libjpeg's corrupt-data warnings (a truncated file only warns "premature end of data", so a
// warning counts as a failure too). False for a file that cannot be read. Never throws;
// thread-safe (each call has its own decoder).
bool JpegFileDecodes(const std::string& path);

// The same check on bytes in memory.
bool JpegDecodes(std::string_view bytes);

// A sample value this low still reads as black: the encoder's rounding leaves a black picture
// a step or two above zero here and there.
inline constexpr int BlackSampleLimit = 8;

// True when the bytes decode in full (as JpegDecodes) to a picture whose every sample is at
// most BlackSampleLimit: one uniform black area. Never throws.
bool JpegIsUniformBlack(std::string_view bytes);

// A picture's size in pixels.
struct JpegSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const JpegSize&) const = default;
};

// What a tile of a task must be: a picture of another size cannot take a tile's place in the
// panorama, so it counts as an invalid image however well it decodes.
inline constexpr JpegSize TaskTileSize{TilePixels, TilePixels};

// Whether the file at path is a regular file that starts and ends as a whole JPEG does (SOI,
// EOI): what a tile stored without its own flush (FileFlush::Later) must show before a
// continued task counts it as finished, as a power cut before the flush can leave it empty or
// cut short. Reads only the file's two ends.
bool JpegFileLooksWhole(const std::string& path);

// The picture's size when the bytes (the file at path) pass the check above; nothing otherwise.
std::optional<JpegSize> DecodedJpegSize(std::string_view bytes);
std::optional<JpegSize> DecodedJpegFileSize(const std::string& path);

}  // namespace korvane
