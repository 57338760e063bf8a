#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// Today's service answers a tile of a panorama id it no longer serves (ids are re-issued), or a
// tile outside the panorama's grid, with a success and a small all-black JPEG: its placeholder.
// It is no tile: the tile is listed as failed and no file is kept.

// Only answers up to this size are decoded to look for the placeholder (the service's is about
// 1.2 KB; a real tile, even a dark one, is many times larger), so healthy tiles are not
// decoded twice.
inline constexpr std::size_t PlaceholderLargestBytes = 16 * 1024;

// The answer is the service's placeholder: a small JPEG that decodes to uniform black.
bool IsPlaceholderAnswer(std::string_view answer);

// The end of the tile's log line, after "T<n>:<x>-<y>".
inline constexpr const char* PlaceholderLineEnd = " got a blank placeholder from the service";

// The end line of a run (a task, a re-download) in which most tiles were placeholders.
inline constexpr const char* RetiredPanoramaLine =
    "Most tiles were blank placeholders from the service: this panorama id is no longer served. "
    "Start a new task for the place, so a new lookup finds the panorama the service has now.";

// Most of the tiles a run finished (placeholders among them) were placeholders.
constexpr bool MostlyPlaceholders(int placeholders, int finished) {
  return placeholders > 0 && placeholders * 2 > finished;
}

}  // namespace korvane
