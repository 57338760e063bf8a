#pragma once

#include <cstddef>

// What the combiner reads from a task folder, which anyone may hand around: the most it reads
// of each file, so a file that is no task's (a huge one, or a link to a device) cannot make it
// read without end.
namespace korvane {

// A task file is some hundred bytes.
inline constexpr std::size_t MaxTaskFileBytes = 1024 * 1024;
// A tile is tens of KiB; the download saves no reply bigger than 64 MiB.
inline constexpr std::size_t MaxTileFileBytes = 64 * 1024 * 1024;
// A failed-tile list has a line of some hundred bytes per tile of the largest grid.
inline constexpr std::size_t MaxFailedListBytes = 64 * 1024 * 1024;

}  // namespace korvane
