// The panorama viewer on a 16384 x 8192 panorama (the size of a current panorama at the highest
// zoom level), made here as a JPEG file in the temporary folder. Measures what a user waits
// for: opening the file until the first 1280 x 720 frame of the 360-degree view is rendered,
// and then one such frame while turning (the median of many headings and pitches). The
// full-size decode that follows the first frame in the background is shown for information.
// Ends with
//   RESULT viewer_frame_ms <median milliseconds per 1280 x 720 frame, goal <= 25>
//   RESULT viewer_open_s <seconds from opening the file to the first frame, goal <= 1.5>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "JpegEncoder.h"
#include "platform/FileSystem.h"
#include "viewer/SphereView.h"
#include "viewer/StitchedPicture.h"

namespace {

using namespace korvane::viewer;
using SteadyClock = std::chrono::steady_clock;

constexpr int PanoramaWidth = 16384;
constexpr int PanoramaHeight = 8192;
constexpr int FrameWidth = 1280;
constexpr int FrameHeight = 720;
constexpr int Frames = 60;
constexpr int Quality = 85;

double SecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// A picture with detail everywhere (so the JPEG is as heavy as a photograph's): a colour
// gradient, a fine grid and a texture of pseudo-random noise.
std::string MakePanorama() {
  korvane::standin::RgbImage image(PanoramaWidth, PanoramaHeight);
  unsigned state = 12345;
  for (int y = 0; y < PanoramaHeight; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < PanoramaWidth; ++x, row += 3) {
      state = state * 1103515245u + 12345u;
      const int noise = static_cast<int>((state >> 16) & 7);
      const bool line = x % 64 == 0 || y % 64 == 0;
      row[0] = static_cast<std::uint8_t>(line ? 250 : (x * 200 / PanoramaWidth) + noise);
      row[1] = static_cast<std::uint8_t>(line ? 250 : (y * 200 / PanoramaHeight) + noise);
      row[2] = static_cast<std::uint8_t>(line ? 40 : 120 + noise);
    }
  }
  return korvane::standin::EncodeJpeg(image, Quality);
}

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

}  // namespace

int main() {
  const std::string path = "/tmp/korvane-viewer-bench-" + std::to_string(getpid()) + ".jpg";
  const std::string jpeg = MakePanorama();
  const std::size_t fileBytes = jpeg.size();
  korvane::WriteFileBytes(path, jpeg);

  const auto openStart = SteadyClock::now();
  StitchedPicture picture = OpenStitchedPicture(path);
  RgbBuffer frame(FrameWidth, FrameHeight);
  RenderSphere(picture.Picture, picture.Placement, ViewAngles{}, frame);
  const double openSeconds = SecondsSince(openStart);
  const int firstLevel = picture.Picture.FinestLevel();

  const auto fullStart = SteadyClock::now();
  if (picture.NeedsFullSize()) picture.Picture.SetFullSize(DecodeFullSize(picture, nullptr));
  const double fullSeconds = SecondsSince(fullStart);
  korvane::DeleteFile(path);

  std::vector<double> milliseconds, cpuMilliseconds;
  for (int i = 0; i < Frames; ++i) {
    const ViewAngles angles{i * 37.0, std::sin(i * 0.5) * 60.0, 60.0 + (i % 4) * 10.0};
    const auto start = SteadyClock::now();
    const double cpuStart = ProcessCpuSeconds();
    RenderSphere(picture.Picture, picture.Placement, angles, frame);
    milliseconds.push_back(SecondsSince(start) * 1000.0);
    cpuMilliseconds.push_back((ProcessCpuSeconds() - cpuStart) * 1000.0);
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::sort(cpuMilliseconds.begin(), cpuMilliseconds.end());
  std::printf("panorama %d x %d, %zu bytes; first decode: level %d of %d\n", PanoramaWidth,
              PanoramaHeight, fileBytes, firstLevel, picture.Picture.LevelCount());
  std::printf("full-size decode in the background: %.2f s\n", fullSeconds);
  std::printf("frame: fastest %.1f ms, slowest %.1f ms\n", milliseconds.front(),
              milliseconds.back());
  // On a machine busy with other work the wall time grows; the processor time says what a frame
  // costs in itself (spread over every core when the machine is idle).
  std::printf("frame: median processor time %.1f ms on %u threads\n",
              cpuMilliseconds[cpuMilliseconds.size() / 2], std::thread::hardware_concurrency());
  std::printf("RESULT viewer_frame_ms %.1f\n", milliseconds[milliseconds.size() / 2]);
  std::printf("RESULT viewer_open_s %.2f\n", openSeconds);
  return 0;
}
