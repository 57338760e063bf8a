// Fetches a 40 KiB body from a loopback server 2,000 times with HttpClient and 2,000 times with
// libcurl, a new connection per request for both, and compares requests per second and CPU
// time per request. The two clients run in alternating blocks so that load from elsewhere on
// the machine falls on both alike.
#include <curl/curl.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "BenchServer.h"
#include "net/HttpClient.h"

namespace {

constexpr std::size_t BodyBytes = 40 * 1024;
constexpr int RequestsPerClient = 2000;
constexpr int Blocks = 10;
constexpr int WarmUpRequests = 50;

struct Totals {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  int failures = 0;
};

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs `fetch` `count` times; a fetch returns whether it got the whole body.
void Measure(int count, const std::function<bool()>& fetch, Totals& totals) {
  auto wallStart = std::chrono::steady_clock::now();
  double cpuStart = ThreadCpuSeconds();
  for (int i = 0; i < count; ++i) {
    if (!fetch()) ++totals.failures;
  }
  totals.cpuSeconds += ThreadCpuSeconds() - cpuStart;
  totals.wallSeconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
}

std::size_t AppendToString(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

void Report(const char* name, const Totals& totals) {
  std::printf("%-8s %d requests  %9.1f req/s  %7.4f CPU ms/req  %d failed\n", name,
              RequestsPerClient, RequestsPerClient / totals.wallSeconds,
              totals.cpuSeconds * 1000.0 / RequestsPerClient, totals.failures);
}

}  // namespace

int main() {
  korvane::bench::BenchServer server(BodyBytes);
  const std::string url = server.Url();

  korvane::HttpClient ours;
  std::string body;
  auto fetchOurs = [&] {
    body.clear();
    try {
      ours.Get(url, body);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "HttpClient: %s\n", error.what());
      return false;
    }
    return body == server.Body();
  };

  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToString);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  auto fetchCurl = [&] {
    body.clear();
    CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) std::fprintf(stderr, "libcurl: %s\n", curl_easy_strerror(code));
    return code == CURLE_OK && status == 200 && body == server.Body();
  };

  Totals warmUp;
  Measure(WarmUpRequests, fetchOurs, warmUp);
  Measure(WarmUpRequests, fetchCurl, warmUp);

  Totals oursTotals;
  Totals curlTotals;
  const int perBlock = RequestsPerClient / Blocks;
  for (int block = 0; block < Blocks; ++block) {
    if (block % 2 == 0) {
      Measure(perBlock, fetchOurs, oursTotals);
      Measure(perBlock, fetchCurl, curlTotals);
    } else {
      Measure(perBlock, fetchCurl, curlTotals);
      Measure(perBlock, fetchOurs, oursTotals);
    }
  }
  curl_easy_cleanup(curl);
  curl_global_cleanup();

  std::printf("fetching a %zu-byte body over loopback, new connection per request\n", BodyBytes);
  Report("HttpClient", oursTotals);
  Report("libcurl", curlTotals);
  const double ratio = curlTotals.wallSeconds / oursTotals.wallSeconds;
  std::printf("RESULT http_vs_libcurl %.3f\n", ratio);
  return oursTotals.failures == 0 && curlTotals.failures == 0 ? 0 : 1;
}
