// Fetches a 40 KiB body from a loopback server 2,000 times with HttpClient and 2,000 times with
// libcurl, a new connection per request for both, and compares requests per second and CPU
// time per request. The two clients run in alternating blocks so that load from elsewhere on
// the machine falls on both alike.
#include <curl/curl.h>

#include <cstdio>
#include <string>

#include "BenchServer.h"
#include "ClientRace.h"
#include "net/HttpClient.h"

namespace {

using korvane::bench::AppendToString;

constexpr std::size_t BodyBytes = 40 * 1024;
constexpr int RequestsPerClient = 2000;
constexpr int Blocks = 10;
constexpr int WarmUpRequests = 50;

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

  korvane::bench::Totals oursTotals;
  korvane::bench::Totals curlTotals;
  korvane::bench::RaceInBlocks(RequestsPerClient, Blocks, WarmUpRequests, fetchOurs, fetchCurl,
                               oursTotals, curlTotals);
  curl_easy_cleanup(curl);
  curl_global_cleanup();

  std::printf("fetching a %zu-byte body over loopback, new connection per request\n", BodyBytes);
  korvane::bench::Report("HttpClient", RequestsPerClient, oursTotals);
  korvane::bench::Report("libcurl", RequestsPerClient, curlTotals);
  const double ratio = curlTotals.wallSeconds / oursTotals.wallSeconds;
  std::printf("RESULT http_vs_libcurl %.3f\n", ratio);
  return oursTotals.failures == 0 && curlTotals.failures == 0 ? 0 : 1;
}
