#include "viewer/ParallelRows.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace korvane::viewer {
namespace {

constexpr int StripRows = 16;

int ThreadCount() {
  static const int count = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  return count;
}

}  // namespace

void ParallelRows(int rowCount, const std::function<void(int, int)>& work) {
  const int threads = std::min(ThreadCount(), (rowCount + StripRows - 1) / StripRows);
  auto band = [&](int index) {
    for (int first = index * StripRows; first < rowCount; first += threads * StripRows)
      work(first, std::min(first + StripRows, rowCount));
  };
  if (threads <= 1) {
    band(0);
    return;
  }
  std::vector<std::jthread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads - 1));
  for (int index = 1; index < threads; ++index)
    helpers.emplace_back(band, index);
  band(0);
}

}  // namespace korvane::viewer
