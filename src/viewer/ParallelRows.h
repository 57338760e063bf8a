#pragma once

#include <functional>

namespace korvane::viewer {

// Runs work(firstRow, endRow) over rows 0 .. rowCount - 1 split into one band per processor
// (the calling thread takes one), and returns when every band is done. Bands are
// interleaved in strips so that threads share the picture's cheap and dear parts alike.
void ParallelRows(int rowCount, const std::function<void(int, int)>& work);

}  // namespace korvane::viewer
