#pragma once

#include <functional>
#include <string>

namespace korvane::bench {

// Time and CPU spent by one client in a race, and its failed fetches.
struct Totals {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  int failures = 0;
};

// A fetch returns whether it got the whole, right body.
using Fetch = std::function<bool()>;

// Warms both clients up, then runs `requests` fetches of each in `blocks` alternating blocks,
// so that load from elsewhere on the machine falls on both alike.
void RaceInBlocks(int requests, int blocks, int warmUp, const Fetch& ours, const Fetch& theirs,
                  Totals& oursTotals, Totals& theirsTotals);

// "name  N requests  R req/s  C CPU ms/req  F failed".
void Report(const char* name, int requests, const Totals& totals);

// A libcurl write callback that appends to the std::string passed as its user data.
std::size_t AppendToString(char* data, std::size_t size, std::size_t count, void* target);

}  // namespace korvane::bench
