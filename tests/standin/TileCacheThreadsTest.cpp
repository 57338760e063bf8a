#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "PanoramaId.h"
#include "TileCache.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

TEST(TileCache, EncodesEachTileOnceWhenAskedFromManyThreads) {
  const std::string panoId = PanoIdOf(*CellOf(48.8584, 2.2945));
  TileCache cache;
  std::vector<std::thread> threads;
  std::vector<TileCache::Bytes> results(8);
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&cache, &results, &panoId, i] {
      for (int round = 0; round < 3; ++round)
        results[i] = cache.Tile(panoId, 1, 1, 3);
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(cache.EncodeCount(), 1u);
  for (const auto& result : results)
    EXPECT_EQ(result, results[0]);
}

}  // namespace
}  // namespace korvane::test
