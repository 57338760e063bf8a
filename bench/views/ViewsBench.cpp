// One 1024 x 768 view at a field of view of 90 degrees out of a zoom-5 panorama (the classic
// 13312 x 6656 pixels, 26 x 13 tiles): mosaicker --view reading the task's tiles, against the
// same view made from the stitched JPEG by Python 3 with OpenCV (decode, remap with a computed
// map, encode; its own timing, without the interpreter's start), side by side in one run,
// each the best of BenchRounds over a few headings. Prints
//   RESULT view_vs_opencv <OpenCV's time / mosaicker's>    (goal >= 2.0)
//   RESULT view_peak_rss_mib <mosaicker's peak resident set> (goal <= 64)
// and, for information, mosaicker's time from the stitched JPEG.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "JpegEncoder.h"
#include "RgbImage.h"

namespace {

namespace fs = std::filesystem;

constexpr int Zoom = 5;
constexpr int Columns = 26;
constexpr int Rows = 13;
constexpr int Tile = 512;
constexpr int TileQuality = 85;
constexpr int BenchRounds = 3;
const char* const Size = "1024x768";
constexpr double Headings[] = {30, 135, 250};  // the panorama's own angles
constexpr double Pitch = 5;
constexpr double FieldOfView = 90;

// A photo-like tile: gradients, edges and grain, so the decoders do a real tile's work.
std::string TextureTile(int tileX, int tileY) {
  korvane::standin::RgbImage image(Tile, Tile);
  std::uint32_t seed = static_cast<std::uint32_t>(tileX * 7919 + tileY * 104729 + 1);
  for (int y = 0; y < Tile; ++y) {
    const int gy = tileY * Tile + y;
    const int rowShade = static_cast<int>(60.0 * std::sin(gy * 0.004));
    for (int x = 0; x < Tile; ++x) {
      const int gx = tileX * Tile + x;
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 28) - 8;
      const int band = ((gx / 37 + gy / 53) % 5) * 12;
      auto level = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
      image.Set(x, y,
                {level(110 + rowShade + band + grain), level(120 + (gx % 256) / 4 + grain),
                 level(140 - rowShade + band / 2 + grain)});
    }
  }
  return korvane::standin::EncodeJpeg(image, TileQuality);
}

void WriteTask(const fs::path& root) {
  std::ofstream task(root / "bench.krvn", std::ios::binary);
  task << "[MapsType]\r\nMapsType=32\r\n[Pano]\r\nPano_id=bench\r\n[Zoom]\r\nZoom=" << Zoom
       << "\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=" << Columns - 1 << "\r\nMaxY=" << Rows - 1
       << "\r\n";
  const fs::path tiles = root / "bench";
  fs::create_directory(tiles);
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      std::ofstream(tiles / ("gv_" + std::to_string(x) + "_" + std::to_string(y) + "_" +
                             std::to_string(Zoom) + ".jpg"),
                    std::ios::binary)
          << TextureTile(x, y);
    }
  }
}

struct ChildRun {
  double Seconds = 0;
  double PeakRssMib = 0;
  std::string Output;  // the first line of its standard output
};

// Runs the program and waits for it; raises when it does not end with status 0.
ChildRun Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  ChildRun run;
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    run.Output.append(buffer, static_cast<std::size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("failed: " + args.front());
  }
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakRssMib = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.Output = run.Output.substr(0, run.Output.find('\n'));
  return run;
}

std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/korvane-views-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path root = pattern;
  int exitStatus = 0;
  try {
    WriteTask(root);
    // The record puts heading 180 at the panorama's middle: compass headings are then the
    // panorama's own angles, the ones the rival is given.
    std::ofstream(root / "bench.json") << "{\"heading\": 180}\n";
    const std::string mosaicker = std::string(KORVANE_PROGRAM_DIR) + "/mosaicker";
    const std::string task = (root / "bench.krvn").string();
    const std::string stitched = (root / "bench.jpg").string();
    Run({mosaicker, "--out", stitched, task});
    const std::string ours = (root / "ours.jpg").string();
    const std::string theirs = (root / "opencv.jpg").string();

    double oursBest = 1e9, jpegBest = 1e9, rivalBest = 1e9, peakRss = 0;
    for (int round = 0; round < BenchRounds; ++round) {
      for (const double angle : Headings) {
        const std::string view = Degrees(angle) + "," + Degrees(Pitch) + "," + Degrees(FieldOfView);
        const ChildRun fromTiles =
            Run({mosaicker, "--view", view, "--size", Size, "--force", "--out", ours, task});
        const ChildRun fromJpeg =
            Run({mosaicker, "--view", view, "--size", Size, "--force", "--out", ours, stitched});
        const ChildRun rival =
            Run({"/usr/bin/python3", RIVAL_SCRIPT, stitched, theirs, Degrees(angle), Degrees(Pitch),
                 Degrees(FieldOfView), "1024", "768"});
        const double rivalSeconds = std::stod(rival.Output);
        oursBest = std::min(oursBest, fromTiles.Seconds);
        jpegBest = std::min(jpegBest, fromJpeg.Seconds);
        rivalBest = std::min(rivalBest, rivalSeconds);
        peakRss = std::max(peakRss, fromTiles.PeakRssMib);
        std::printf(
            "round %d, angle %g: mosaicker from tiles %.3f s (%.1f MiB), from the JPEG %.3f s "
            "(%.1f MiB), OpenCV %.3f s (whole process %.3f s, %.1f MiB)\n",
            round + 1, angle, fromTiles.Seconds, fromTiles.PeakRssMib, fromJpeg.Seconds,
            fromJpeg.PeakRssMib, rivalSeconds, rival.Seconds, rival.PeakRssMib);
      }
    }
    std::printf("view from the stitched JPEG: %.3f s, OpenCV / that %.2f\n", jpegBest,
                rivalBest / jpegBest);
    std::printf("RESULT view_vs_opencv %.3f\n", rivalBest / oursBest);
    std::printf("RESULT view_peak_rss_mib %.1f\n", peakRss);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "views_bench: %s\n", error.what());
    exitStatus = 1;
  }
  fs::remove_all(root);
  return exitStatus;
}
