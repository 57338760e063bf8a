#include "ClientRace.h"

#include <time.h>

#include <chrono>
#include <cstdio>

namespace korvane::bench {
namespace {

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Measure(int count, const Fetch& fetch, Totals& totals) {
  auto wallStart = std::chrono::steady_clock::now();
  double cpuStart = ThreadCpuSeconds();
  for (int i = 0; i < count; ++i) {
    if (!fetch()) ++totals.failures;
  }
  totals.cpuSeconds += ThreadCpuSeconds() - cpuStart;
  totals.wallSeconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
}

}  // namespace

void RaceInBlocks(int requests, int blocks, int warmUp, const Fetch& ours, const Fetch& theirs,
                  Totals& oursTotals, Totals& theirsTotals) {
  Totals warm;
  Measure(warmUp, ours, warm);
  Measure(warmUp, theirs, warm);
  const int perBlock = requests / blocks;
  for (int block = 0; block < blocks; ++block) {
    if (block % 2 == 0) {
      Measure(perBlock, ours, oursTotals);
      Measure(perBlock, theirs, theirsTotals);
    } else {
      Measure(perBlock, theirs, theirsTotals);
      Measure(perBlock, ours, oursTotals);
    }
  }
}

void Report(const char* name, int requests, const Totals& totals) {
  std::printf("%-10s %d requests  %9.1f req/s  %7.4f CPU ms/req  %d failed\n", name, requests,
              requests / totals.wallSeconds, totals.cpuSeconds * 1000.0 / requests,
              totals.failures);
}

std::size_t AppendToString(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

}  // namespace korvane::bench
